#include "ProjectTestUtil.h"
#include "TestRegistry.h"
#include "services/Messages.h"

#include <QApplication>
#include <QLoggingCategory>
#include <QSet>
#include <QTest>

#include <memory>
#include <vector>

namespace {

// Qt Test options followed by a value.
const QSet<QByteArray> OptionsWithValue = {"-o",          "-maxwarnings",  "-eventdelay",   "-keydelay",
                                           "-mousedelay", "-seed",         "-repeat",       "-iterations",
                                           "-median",     "-minimumvalue", "-minimumtotal", "-platform"};

bool hasFunction(const QObject& test, const QByteArray& function) {
    const qsizetype colon = function.indexOf(':');
    const QByteArray name = colon < 0 ? function : function.left(colon);
    return test.metaObject()->indexOfMethod(name + "()") >= 0;
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (qEnvironmentVariableIsEmpty("ZOLPANE_CODEPAGE"))
        qputenv("ZOLPANE_CODEPAGE", "1252");
    QApplication app(argc, argv);
    Messages::setUnattended(true);
    // Damaged files are the point of many tests; their warnings would drown the results.
    QLoggingCategory::setFilterRules(QStringLiteral("zolpane.project.warning=false"));
    // Helper mode of the killed-save test: save two versions of a project in turn until killed.
    if (argc == 4 && qstrcmp(argv[1], "--save-loop") == 0)
        return ProjectTestUtil::saveLoop(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]));

    // Test functions named on the command line go to the class that has them; the other classes do not run.
    std::vector<char*> options{argv[0]};
    QList<QByteArray> functions;
    for (int i = 1; i < argc; ++i) {
        if (argv[i][0] != '-') {
            functions.append(argv[i]);
            continue;
        }
        options.push_back(argv[i]);
        if (OptionsWithValue.contains(argv[i]) && i + 1 < argc)
            options.push_back(argv[++i]);
    }
    int status = 0;
    for (const auto& [name, factory] : TestRegistry::all()) {
        std::unique_ptr<QObject> test(factory());
        std::vector<char*> args = options;
        for (QByteArray& function : functions) {
            if (hasFunction(*test, function))
                args.push_back(function.data());
        }
        if (!functions.isEmpty() && args.size() == options.size())
            continue;
        status |= QTest::qExec(test.get(), int(args.size()), args.data());
    }
    return status;
}
