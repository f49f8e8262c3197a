#include "widgets/TextCommandMenu.h"

#include <QMenu>

namespace TextCommandMenu {

namespace {

void add(QMenu* menu, QObject* context, const Handler& run, const char* name, const QString& caption) {
    QAction* action = menu->addAction(caption);
    action->setObjectName(QLatin1String(name));
    const QString objectName = action->objectName();
    QObject::connect(action, &QAction::triggered, context, [run, objectName] { run(objectName); });
}

} // namespace

void addCaseItems(QMenu* menu, QObject* context, const Handler& run) {
    add(menu, context, run, "mnuToLowerCase", QStringLiteral("To &Lower Case"));
    add(menu, context, run, "mnuToUpperCase", QStringLiteral("To &Upper Case"));
    menu->addSeparator()->setObjectName(QStringLiteral("mnuSeparator5"));
    add(menu, context, run, "mnuProperCase", QStringLiteral("To &Proper Case"));
    add(menu, context, run, "mnuReverseCase", QStringLiteral("&Reverse Case"));
    menu->addSeparator()->setObjectName(QStringLiteral("mnuSeparator23"));
    add(menu, context, run, "mnuSentences", QStringLiteral("Make &Sentences"));
    add(menu, context, run, "mnuZigZagCase", QStringLiteral("&To ZiG zAg Case"));
}

void addDateTimeItems(QMenu* menu, QObject* context, const Handler& run) {
    add(menu, context, run, "mnuCopyDate", QStringLiteral("Current &Date"));
    add(menu, context, run, "mnuCopyTime", QStringLiteral("Current &Time"));
}

void addTextItems(QMenu* menu, QObject* context, const Handler& run) {
    add(menu, context, run, "mnuRemoveDiacritics", QStringLiteral("&Remove Diacritics"));
    add(menu, context, run, "mnuReverse", QStringLiteral("R&everse Text"));
}

} // namespace TextCommandMenu
