#include "ProjectTestUtil.h"
#include "platform/headless/HeadlessWindowSystem.h"
#include "project/ClipRowEdit.h"
#include "project/ClipTable.h"
#include "project/EditorHandOver.h"
#include "project/HandOverFile.h"
#include "project/HotkeyOverview.h"
#include "project/ProjectLifecycle.h"
#include "project/ProjectReader.h"
#include "project/RecentProjects.h"
#include "project/frmZolProjects.h"
#include "project/frmZolpane.h"
#include "services/FileDialogs.h"
#include "services/Messages.h"
#include "services/Settings.h"
#include "widgets/isButton.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QStatusBar>
#include <QTimer>

struct EditorRow {
    bool isImage, isRtf, isSimple;
    QString data;
    bool picture;
    QString format;
    bool locked;
};
Q_DECLARE_METATYPE(EditorRow)

// A project command on a project just opened ("": the start-up's new default one, no file yet), the file dialog's
// answer ("" cancels, "-" none may open) and the question's (0: none). Then: the project, clip 1 (edited unmarked
// before: a load or a new project replaces it), the status ("-" before), the one box shown, the recent list's first
// name, whether Other.zp is on disk, Changed.
using ProjectCommand = void (ProjectLifecycle::*)();
struct CommandRow {
    QString open;
    bool changed;
    ProjectCommand command;
    QString dialog;
    int answer;
    QString project, clip1, status, shown, recent;
    bool otherOnDisk, changedAfter;
};
Q_DECLARE_METATYPE(CommandRow)

// The main window on the offscreen platform with a scripted window system.
class MainWindowTest final : public QObject {
    Q_OBJECT

    struct Fixture : TestSupport::SettingsFolder {
        ClipTable table;
        EditorHandOver handOver;
        HeadlessWindowSystem windows;
        std::unique_ptr<frmZolpane> window;
        std::unique_ptr<ProjectLifecycle> project;
        explicit Fixture(bool shown = true) {
            paths.setWorkFolders();
            QDir().mkpath(paths.TempFolder);
            QDir().mkpath(paths.ProjectsFolder);
            ProjectTestUtil::writeFile(paths.SettingsPath, Settings::defaultSettingsContent(paths.ProjectsFolder));
            settings.loadCoreValues();
            window = std::make_unique<frmZolpane>(table, settings, windows, handOver);
            project = std::make_unique<ProjectLifecycle>(*window, table, settings, paths);
            // As the composition root wires them.
            ProjectLifecycle* p = project.get();
            QObject::connect(window.get(), &frmZolpane::quickSlotRequested, p, &ProjectLifecycle::OpenQuickSlot);
            QObject::connect(window.get(), &frmZolpane::recentProjectRequested, p,
                             &ProjectLifecycle::OpenRecentProject);
            if (!shown)
                return;
            window->show();
            QApplication::setActiveWindow(window.get());
        }
        template <class T> T* child(const QString& name) {
            T* found = window->findChild<T*>(name);
            if (!found)
                qFatal("no child %s", qPrintable(name));
            return found;
        }
        ClipRowEdit* row(int i) { return child<ClipRowEdit>(QStringLiteral("txtPaste(%1)").arg(i)); }
    };

private Q_SLOTS:
    void init() {
        Messages::setUnattended(true); // no answers queued, no boxes shown
        QVERIFY(!FileDialogs::hasQueuedAnswers());
    }

    // A window loaded hidden (the program in the tray) builds its rows and status bar when first shown; what
    // was set on them meanwhile shows then.
    void rowsBuiltWhenShown() {
        Fixture f(false);
        f.project->startup(QString());
        f.table.setText(3, QStringLiteral("three"));
        f.window->markLastClip(3);
        f.window->setEditorAvailable(true);
        f.window->ShowAtStatus(QStringLiteral("Waiting"));
        QVERIFY(!f.window->findChild<ClipRowEdit*>(QStringLiteral("txtPaste(3)")));
        QVERIFY(!f.window->findChild<QStatusBar*>());
        f.window->show();
        QCOMPARE(f.row(3)->text(), QStringLiteral("three"));
        QVERIFY(f.child<QLabel>(QStringLiteral("lblPanel(3)"))->font().bold());
        QVERIFY(!f.child<QLabel>(QStringLiteral("lblPanel(2)"))->font().bold());
        QVERIFY(f.child<isButton>(QStringLiteral("icmdConf(3)"))->Enabled());
        QCOMPARE(f.window->focusWidget(), f.row(1)); // given to row 1 while loading the project
        QCOMPARE(f.window->statusText(), QStringLiteral("Waiting"));
        QVERIFY(f.child<QLabel>(QStringLiteral("StatusBarPanel2"))->isVisible());
    }

    void rowsStatusAndHiding() {
        Fixture f;
        f.project->startup(QString());
        QCOMPARE(f.window->windowTitle(), QStringLiteral("Zolpane (default.zp)"));
        QCOMPARE(f.window->statusText(), QStringLiteral("New project created.")); // no default project yet
        const auto copy = [&f](int i) { return f.child<isButton>(QStringLiteral("icmdCopy(%1)").arg(i))->geometry(); };
        // Two columns of 15: row 16 beside row 1, row 2 below row 1.
        QCOMPARE(copy(16).topLeft(), copy(1).topLeft() + QPoint(230, 0));
        QCOMPARE(copy(2).topLeft(), copy(1).bottomLeft() + QPoint(0, 3));
        QCOMPARE(f.row(1)->text(), QString()); // row 1 has the focus with its placeholder cleared
        QCOMPARE(f.row(2)->text(), ClipTable::EmptyClipText);
        // Entering a row clears the placeholder; leaving it empty restores it.
        f.row(2)->setFocus();
        QCOMPARE(f.row(2)->text(), QString());
        QCOMPARE(f.window->currentClip(), 2);
        f.row(3)->setFocus();
        QCOMPARE(f.row(2)->text(), ClipTable::EmptyClipText);
        QTest::keyClicks(f.row(3), "Empty");
        f.row(5)->setFocus();
        QVERIFY(!f.table.isEmptyClip(3));
        QVERIFY(f.window->changed());
        for (const char* pasted : {"a\r\nb", "a\nb", "a\rb\n"}) { // line breaks of any kind are removed
            f.row(5)->clear();
            f.row(5)->insert(QString::fromLatin1(pasted));
            QCOMPARE(f.table.clip(5).text, QStringLiteral("ab"));
        }

        auto* restore = f.child<QTimer>("tmrRestore");
        f.window->ShowAtStatus(QStringLiteral("First"));
        QTRY_VERIFY(restore->remainingTime() < restore->interval() / 2);
        f.window->ShowAtStatus(QStringLiteral("Second"));
        QVERIFY(restore->remainingTime() > restore->interval() / 2); // the second keeps its full time
        QTRY_COMPARE_WITH_TIMEOUT(f.window->statusText(), QStringLiteral("Ready"), 2000);
        QVERIFY(!restore->isActive());
        for (const bool on : {true, false}) {
            f.child<isButton>(on ? "icmdAlwaysOnTopOFF" : "icmdAlwaysOnTopON")->activateByKey();
            QCOMPARE(f.windows.isTopMost(f.window.get()), on);
            QCOMPARE(f.settings.ReadSetting("Zolpane", "ZPAlwaysOnTop"), on ? "1" : "0");
            QCOMPARE(f.child<isButton>("icmdAlwaysOnTopON")->isVisibleTo(f.window.get()), on);
            QCOMPARE(f.child<isButton>("icmdAlwaysOnTopOFF")->isVisibleTo(f.window.get()), !on);
        }
        // Escape in a row and closing only hide while the program runs; nothing is asked.
        f.window->setChanged(true);
        QTest::keyClick(f.row(1), Qt::Key_Escape);
        QVERIFY(!f.window->isVisible());
        f.window->show();
        QVERIFY(!f.window->close());
        QVERIFY(!f.window->isVisible());
        QVERIFY(Messages::takeShown().isEmpty());
        // The last-window label shows the record's title trimmed, or that there is none.
        QString last = QStringLiteral("  Editor  ");
        f.project->lastWindowTitle = [&last] { return last; };
        const auto* label = f.child<QLabel>(QStringLiteral("lblWindow"));
        for (const char* shown : {"Last Active Window: Editor", "Last Active Window: Unnamed or N/A"}) {
            f.project->showLastWindow();
            QCOMPARE(label->text(), QString::fromLatin1(shown));
            last.clear();
        }
    }

    void deleteKey_data() {
        TestSupport::columns<bool, bool, int, bool>("simple", "ask", "answer", "cleared");
        QTest::newRow("ask, No") << false << true << int(Messages::No) << false;
        QTest::newRow("ask, Yes") << false << true << int(Messages::Yes) << true;
        QTest::newRow("no question") << false << false << 0 << true;
        QTest::newRow("one-line text, No: not a character deleted") << true << true << int(Messages::No) << false;
    }
    void deleteKey() {
        const auto [simple, ask, answer, cleared] =
            TestSupport::fetch<bool, bool, int, bool>("simple", "ask", "answer", "cleared");
        Fixture f;
        f.settings.AskDeletingClip = ask;
        if (simple)
            f.table.setClip(7, {ClipTable::TxtSimple, QStringLiteral("abc")});
        else
            f.table.setClip(7,
                            {ClipTable::TxtLong, QStringLiteral("Caption"), QStringLiteral("long\r\ntext"), {}, true});
        if (ask)
            Messages::setNextAnswer(answer);
        f.row(7)->setFocus();
        f.row(7)->setCursorPosition(0);
        QTest::keyClick(f.row(7), Qt::Key_Delete);
        QCOMPARE(Messages::takeShown().size(), ask ? 1 : 0);
        if (simple) {
            QCOMPARE(f.row(7)->text(), QStringLiteral("abc"));
            return;
        }
        QCOMPARE(f.table.clip(7).format, cleared ? ClipTable::TxtSimple : ClipTable::TxtLong);
        QCOMPARE(f.table.clip(7).data.isEmpty(), cleared);
        QCOMPARE(f.row(7)->isReadOnly(), !cleared);
        QVERIFY(!f.window->changed()); // deleting does not mark the project changed
    }

    void functionKeysAndDragging() {
        Fixture f;
        QSignalSpy slots(f.window.get(), &frmZolpane::quickSlotRequested);
        QSignalSpy copies(f.window.get(), &frmZolpane::copyRequested);
        QSignalSpy properties(f.window.get(), &frmZolpane::propertiesRequested);
        QSignalSpy exits(f.window.get(), &frmZolpane::exitRequested);
        f.table.setClip(2, {ClipTable::TxtLong, QStringLiteral("L"), QStringLiteral("x"), {}, true});
        f.row(2)->setFocus();
        QTest::keyClick(f.row(2), Qt::Key_F2, Qt::ControlModifier);
        QTest::keyClick(f.row(2), Qt::Key_F1, Qt::ControlModifier | Qt::ShiftModifier); // not exactly Ctrl
        QTest::keyClick(f.row(2), Qt::Key_F2);
        QTest::keyClick(f.row(2), Qt::Key_F4);
        // Without an editor, F3 and the configure button change nothing.
        QSignalSpy edits(f.window.get(), &frmZolpane::editRequested);
        QTest::keyClick(f.row(2), Qt::Key_F3);
        f.child<isButton>(QStringLiteral("icmdConf(%1)").arg(2))->activateByKey();
        QCOMPARE(edits.size(), 0);
        QVERIFY(f.row(5)->isEnabled() && f.child<QMenu>("mnuFile")->menuAction()->isEnabled());
        QCOMPARE((QList<qsizetype>{slots.size(), copies.size(), properties.size()}), (QList<qsizetype>{1, 1, 1}));
        QCOMPARE(slots.at(0).at(0).toInt(), 2);
        // F2 in a simple row is typing: the clip is not copied.
        f.row(3)->setFocus();
        QTest::keyClick(f.row(3), Qt::Key_F2);
        QCOMPARE(copies.size(), 1);
        QTest::keyClick(f.row(3), Qt::Key_F4, Qt::AltModifier);
        QCOMPARE(exits.size(), 1);
        // Dropping row 4 on row 6 swaps the clips and leaves the project unchanged.
        f.window->setChanged(false);
        const QImage picture = TestSupport::uniform(2, 2, Qt::blue);
        f.table.setClip(4, {ClipTable::Img, QStringLiteral("Picture"), QString(), picture, true});
        f.table.setText(6, QStringLiteral("six"));
        f.table.ClipMethod[4] = 3;
        f.table.ClipMethod[6] = 2;
        Q_EMIT f.row(6)->rowDropped(4, 6);
        QCOMPARE(f.table.clip(6).format, ClipTable::Img);
        QCOMPARE(f.table.clip(6).picture.pixel(0, 0), picture.pixel(0, 0));
        QVERIFY(f.row(6)->isReadOnly());
        QCOMPARE(f.row(6)->text(), QStringLiteral("Picture"));
        QCOMPARE(f.table.clip(4).text, QStringLiteral("six"));
        QVERIFY(f.table.clip(4).picture.isNull());
        QVERIFY(!f.row(4)->isReadOnly());
        QCOMPARE((QList<int>{f.table.ClipMethod[4], f.table.ClipMethod[6]}), (QList<int>{3, 2})); // stay with the rows
        QVERIFY(!f.window->changed());
        Q_EMIT f.row(6)->rowDropped(6, 6);
        Q_EMIT f.row(6)->rowDropped(0, 6);
        QCOMPARE(f.table.clip(6).format, ClipTable::Img);
        // Move mode turns pressing a row into dragging it.
        QVERIFY(!f.row(6)->automaticDrag());
        f.child<QCheckBox>("chckMove")->setChecked(true);
        QVERIFY(f.row(6)->automaticDrag());
    }

    // What the editor handed over (an image, rich text, simple text; its data; a picture) and the clip after.
    void updateFromEditor_data() {
        QTest::addColumn<EditorRow>("row");
        QTest::newRow("image without picture clears") << EditorRow{true, false, false, "x", false, "TXT-SIMPLE", false};
        QTest::newRow("text without data clears") << EditorRow{false, false, false, "", true, "TXT-SIMPLE", false};
        QTest::newRow("rtf") << EditorRow{false, true, false, "{\\rtf1 x}", false, "RTF", true};
        QTest::newRow("simple") << EditorRow{false, false, true, "abc", false, "TXT-SIMPLE", false};
        QTest::newRow("long") << EditorRow{false, false, false, "a\r\nb", false, "TXT-LONG", true};
        QTest::newRow("image") << EditorRow{true, false, false, "", true, "IMG", true};
    }
    void updateFromEditor() {
        QFETCH(EditorRow, row);
        Fixture f;
        f.handOver.EditCaption = QStringLiteral("Caption");
        f.handOver.EditIsImage = row.isImage;
        f.handOver.EditIsRtf = row.isRtf;
        f.handOver.EditIsSimple = row.isSimple;
        f.handOver.EditData = row.data;
        if (row.picture)
            f.handOver.picTemp = TestSupport::uniform(4, 3, Qt::red);
        f.row(1)->clearFocus();
        f.window->Update(9);
        const ClipTable::Clip& clip = f.table.clip(9);
        QCOMPARE(clip.format, row.format);
        QCOMPARE(clip.locked, row.locked);
        QCOMPARE(f.row(9)->isReadOnly(), row.locked);
        QVERIFY(f.window->changed());
        QVERIFY(!f.handOver.EditIsRtf && !f.handOver.EditIsImage);
        if (row.format == ClipTable::TxtSimple && !row.isSimple)
            QCOMPARE(clip.text, ClipTable::EmptyClipText);
        if (row.format == ClipTable::Img)
            QVERIFY(clip.picture.size() == QSize(4, 3) && f.handOver.picTemp.isNull());
        if (row.format == ClipTable::TxtLong || row.format == ClipTable::Rtf)
            QCOMPARE(clip.data, row.data);
    }

    void projectCommands_data() {
        QTest::addColumn<CommandRow>("row");
        using P = ProjectLifecycle;
        const auto save = &P::SaveProjectCommand, loadDefault = &P::LoadDefaultProject, del = &P::DeleteProjectCommand;
        const QString blank = P::Blank, def = "default.zp", other = "Other.zp", e = "edited";
        const int no = Messages::No;
        const QString unsaved = "Warning: You have made unsaved changes in current project. Do you want to save these "
                                "changes?";
        const QString unnamed =
            "You can't delete unsaved project. If you want a new project, use New Project menu item.";
        // clang-format off
        QTest::newRow("save the new default project without a dialog")
            << CommandRow{"", true, save, "-", 0, def, e, "Project has been saved", "", "", false, false};
        QTest::newRow("save a new project, dialog cancelled")
            << CommandRow{blank, true, save, "", 0, blank, e, "-", "", "", true, true};
        QTest::newRow("save a new project under a name")
            << CommandRow{blank, true, save, "New.zp", 0, "New.zp", e, "Project saved", "", "New.zp", true, false};
        QTest::newRow("save as over another project, No")
            << CommandRow{def, false, &P::SaveAsCommand, other, no, def, e, "-", "Do you want overwrite Other.zp?", "",
                          true, false};
        QTest::newRow("load default while changed, No: loaded")
            << CommandRow{other, true, loadDefault, "-", no, def, "first", "Ready", unsaved, other, true, false};
        QTest::newRow("load default while it is open: nothing")
            << CommandRow{def, false, loadDefault, "-", 0, def, e, "-", "", "", true, false};
        QTest::newRow("delete a new project: refused")
            << CommandRow{blank, false, del, "-", 0, blank, e, "-", unnamed, "", true, false};
        QTest::newRow("load from the dialog")
            << CommandRow{blank, false, &P::LoadProjectCommand, other, 0, other, "other", "Ready", "", other, true,
                          false};
        QTest::newRow("delete a saved project, Yes: a new project")
            << CommandRow{other, false, del, "-", Messages::Yes, blank, "", "-",
                          "Do you really want to delete project Other.zp?", "", false, false};
        // clang-format on
    }
    void projectCommands() {
        QFETCH(CommandRow, row);
        Fixture f;
        ProjectLifecycle& p = *f.project;
        const QString other = f.dir.filePath("Other.zp");
        if (!row.open.isEmpty()) {
            f.table.setText(1, QStringLiteral("first"));
            p.SaveProject(f.paths.ProjectsFolder + "default.zp");
            f.table.setText(1, QStringLiteral("other"));
            p.SaveProject(other);
        }
        p.startup(row.open == "Other.zp" ? other : QString());
        if (row.open == ProjectLifecycle::Blank)
            p.NewProject();
        f.table.setText(1, QStringLiteral("edited"));
        f.window->setChanged(row.changed);
        f.window->ShowAtStatus(QStringLiteral("-"));
        if (row.dialog != "-")
            FileDialogs::setNextFileName(row.dialog.isEmpty() ? QString() : f.dir.filePath(row.dialog));
        if (row.answer)
            Messages::setNextAnswer(row.answer);
        (p.*row.command)();
        QVERIFY(!FileDialogs::hasQueuedAnswers());
        const auto shown = Messages::takeShown();
        QCOMPARE(shown.size(), row.shown.isEmpty() ? 0 : 1);
        QCOMPARE(shown.value(0).text, row.shown);
        QCOMPARE(p.ProjectName, row.project);
        QCOMPARE(f.window->windowTitle(),
                 "Zolpane (" + (row.project == ProjectLifecycle::Blank ? "new project" : row.project) + ")");
        QCOMPARE(QFile::exists(p.ProjectPath + p.ProjectName), row.project != ProjectLifecycle::Blank);
        QCOMPARE(f.table.clip(1).text, row.clip1);
        QCOMPARE(f.window->statusText(), row.status);
        QCOMPARE(QFileInfo(p.recent().entry(1)).fileName(), row.recent);
        QCOMPARE(QFile::exists(other), row.otherOnDisk);
        QCOMPARE(f.window->changed(), row.changedAfter);
    }

    void defaultNameHandOverAndHotkeyOverview() {
        Fixture f;
        ProjectLifecycle& p = *f.project;
        const QString work = f.dir.filePath("Work.zp");
        f.table.setText(4, QStringLiteral("work clip"));
        p.SaveProject(work);
        f.settings.WriteSetting("Zolpane", "DefaultProjectName", "Work.zp");
        f.settings.WriteSetting("Zolpane", "DefaultProjectPath", f.dir.path() + "/");
        f.table.CleanUp();
        p.startup(QString());
        QCOMPARE(p.ProjectName, QStringLiteral("Work.zp")); // the stored spelling names the file
        QCOMPARE(f.table.clip(4).text, QStringLiteral("work clip"));
        f.table.CleanUp();
        // A second start hands a project over through loadbuff.dat, noticed by the watch on the program folder;
        // no question is asked.
        p.NewProject();
        f.window->setChanged(true);
        ProjectTestUtil::writeFile(f.paths.loadBuffPath(), work.toUtf8() + "\r\n");
        QTRY_VERIFY(!QFile::exists(f.paths.loadBuffPath()));
        QCOMPARE(p.ProjectName, QStringLiteral("Work.zp"));
        QCOMPARE(f.window->windowTitle(), QStringLiteral("Zolpane (Work.zp)"));
        QCOMPARE(f.table.clip(4).text, QStringLiteral("work clip"));
        QVERIFY(Messages::takeShown().isEmpty());
        // Clip 2 has Ctrl ticked with the key "(none)": no hotkey, an empty cell.
        ClipTable table;
        const HotkeyOverview::Hotkeys hotkeys{{{}, {2, 49, {}}, {2, 0, {}}, {7, 112, {}}}};
        table.setText(1, QStringLiteral("one <b>"));
        table.setText(2, QString(60, 'x'));
        table.setText(3, QStringLiteral("three"));
        const QByteArray page = HotkeyOverview::pageContent(QStringLiteral("Blank"), table, hotkeys, "12:00 1.1.2026");
        QCOMPARE(
            page,
            QByteArray(
                "<HTML><HEAD><TITLE>Zolpane Hotkeys</TITLE></HEAD><BODY><H3>Zolpane Hotkey Overview - Blank</H3>\r\n"
                "<TABLE border=\"1\" BorderColor=\"black\" cellspacing = \"0\">\r\n"
                "<TR><TD BGCOLOR=#CCFF99>Clip #</TD><TD BGCOLOR=#CCFF99>Clip Name</TD><TD BGCOLOR=#CCFF99>Clip "
                "Hotkey</TD></TR>\r\n"
                "<TR><TD>1</TD><TD>\r\none <b></TD><TD>\r\nCtrl + 1</TD></TR>\r\n"
                "<TR><TD>2</TD><TD>\r\n") +
                QByteArray(50, 'x') +
                "</TD><TD>\r\n</TD></TR>\r\n"
                "<TR><TD>3</TD><TD>\r\nthree</TD><TD>\r\nAlt + Ctrl + Shift + p</TD></TR>\r\n"
                "</TABLE><BR><BR>Generated 12:00 1.1.2026\r\n</BODY></HTML>\r\n");
        QVERIFY(
            HotkeyOverview::pageContent("p", ClipTable(), hotkeys, "t")
                .contains("Hotkey</TD></TR>\r\n<TR><TD COLSPAN=3>There are just empty clips</TD></TR>\r\n</TABLE>"));
        QCOMPARE(HotkeyOverview::hotkeyText(6, 48), QStringLiteral("Ctrl + Shift + 0"));
        QVERIFY(HotkeyOverview::hotkeyText(5, 48).isEmpty()); // no hotkey without a known modifier set
        // The export command lists the hotkeys registered now, not what settings.ini says.
        f.table.CleanUp();
        f.table.setText(1, QStringLiteral("one"));
        f.settings.WriteSetting(QStringLiteral("Hotkeys"), QStringLiteral("Clip1Key"), QStringLiteral("65"));
        f.project->clipHotkey = [](int clip) { return clip == 1 ? std::pair{2, 49} : std::pair{2, 0}; };
        FileDialogs::setNextFileName(f.dir.filePath("overview.html"));
        Messages::setNextAnswer(Messages::No); // do not open it in the browser
        f.project->ExportHotkeyOverviewCommand();
        QVERIFY(ProjectTestUtil::readFile(f.dir.filePath("overview.html"))
                    .contains("<TD>\r\none</TD><TD>\r\nCtrl + 1</TD></TR>\r\n</TABLE>"));
        QCOMPARE(f.window->statusText(), QStringLiteral("Overview Saved"));
    }

    // What is no project, handed over by a second start or chosen in the open dialog, gets the designed box and
    // leaves the project, its title and rows (and, handed over, its unsaved changes) as they were; named at
    // start-up, the default project opens instead.
    void notAProjectKeepsTheCurrentOne_data() {
        QTest::addColumn<QString>("kind");
        for (const char* kind : {"zeros", "empty container", "no index", "folder", "fifo", "/dev/zero"})
            QTest::newRow(kind) << QString::fromLatin1(kind);
    }
    void notAProjectKeepsTheCurrentOne() {
        QFETCH(QString, kind);
        Fixture f;
        ProjectLifecycle& p = *f.project;
        const QString kept = f.dir.filePath("kept.zp");
        p.SaveProject(kept);
        p.startup(kept);
        f.table.setText(2, QStringLiteral("unsaved"));
        f.window->setChanged(true);
        const QString path = ProjectTestUtil::notAProject(f.dir.path() + "/", kind);
        for (const bool handedOver : {true, false}) {
            if (handedOver) {
                QVERIFY(ProjectTestUtil::writeFile(f.paths.loadBuffPath(), HandOverFile::content(path)));
                p.checkHandOver();
                QVERIFY(!QFile::exists(f.paths.loadBuffPath()) && f.window->changed());
            } else {
                FileDialogs::setNextFileName(path);
                p.LoadProjectCommand(); // after the question about the unsaved changes
            }
            const auto shown = Messages::takeShown();
            QCOMPARE(shown.size(), handedOver ? 1 : 2);
            QVERIFY(shown.last().text.startsWith(ProjectReader::MissingFileText));
            QCOMPARE(p.ProjectName, QStringLiteral("kept.zp"));
            QCOMPARE(f.window->windowTitle(), QStringLiteral("Zolpane (kept.zp)"));
            QCOMPARE(f.table.clip(2).text, QStringLiteral("unsaved"));
        }
        Fixture fresh(false);
        fresh.project->startup(path);
        QCOMPARE(fresh.project->ProjectName, QStringLiteral("default.zp"));
    }

    void recentAndQuickSlots() {
        RecentProjects recent([](const QString& path) { return !path.contains("gone"); });
        for (int i = 1; i <= 11; ++i)
            recent.AddRecentProject(QStringLiteral("/p/%1.zp").arg(i));
        QCOMPARE(recent.entry(1), QStringLiteral("/p/11.zp"));
        QCOMPARE(recent.entry(10), QStringLiteral("/p/2.zp"));
        recent.AddRecentProject(QStringLiteral("/P/7.ZP")); // same file in other letter case moves up
        QCOMPARE((QStringList{recent.entry(1), recent.entry(2), recent.entry(6)}),
                 (QStringList{"/P/7.ZP", "/p/11.zp", "/p/6.zp"}));
        recent.setEntry(3, QStringLiteral("/p/gone.zp"));
        recent.CompactRecentProjects();
        QCOMPARE((QStringList{recent.entry(3), recent.entry(10)}), (QStringList{"/p/9.zp", ""}));
        QCOMPARE(RecentProjects::ShortCaption(QStringLiteral("/home/user/projects/ab.zp")),
                 QStringLiteral("/home/user/projects/ab.zp"));
        QCOMPARE(RecentProjects::ShortCaption(QStringLiteral("/home/someone/projects/x.zp")),
                 QStringLiteral(".../someone/projects/x.zp"));
        Fixture f;
        ProjectLifecycle& p = *f.project;
        p.BuildRecentMenu();
        QVERIFY(!f.child<QMenu>("mnuRecentProjects")->isEnabled());
        const QString slot = f.dir.filePath("slot.zp");
        f.table.setText(1, QStringLiteral("slot clip"));
        p.SaveProject(slot);
        p.QuickSlots[3] = slot;
        p.QuickSlots[4] = f.dir.filePath("missing.zp");
        p.SaveQuickSlots();
        p.RefreshQuickSlotButtons();
        QCOMPARE(f.settings.ReadSetting("ZolProjects", "ZolProject3"), slot);
        QCOMPARE(f.settings.ReadSetting("ZolProjects", "ZolProject4"), QString());
        // Buttons (0) to (7); button k stands for slot k + 1, so only button 2 has a project.
        for (int k = 0; k < 8; ++k)
            QCOMPARE(f.child<isButton>(QStringLiteral("icmdZolProject(%1)").arg(k))->isEnabled(), k == 2);
        QVERIFY(!f.window->findChild<isButton*>(QStringLiteral("icmdZolProject(8)")));
        f.table.CleanUp();
        f.row(2)->setFocus();
        QTest::keyClick(f.row(2), Qt::Key_F3, Qt::ControlModifier); // Ctrl+F3 opens slot 3
        QCOMPARE(p.ProjectName, QStringLiteral("slot.zp"));
        QCOMPARE(f.row(1)->text(), QStringLiteral("slot clip"));
        QVERIFY(f.row(1)->hasFocus() && f.row(1)->hasSelectedText()); // row 1 took the focus, text selected
        // The quick-slot dialog, cancelled and then accepted, sets slot 2 behind button 1.
        f.window->setAlwaysOnTop(true, false);
        for (const bool accept : {false, true}) {
            p.showQuickSlotDialog();
            p.showQuickSlotDialog(); // brings the open one forward
            QCOMPARE(f.window->findChildren<frmZolProjects*>().size(), 1);
            auto* dialog = f.window->findChild<frmZolProjects*>();
            QVERIFY(!f.windows.isTopMost(f.window.get()));                   // the dialog comes first while it is open
            FileDialogs::setNextFileName(f.dir.filePath("nothing-here.zp")); // refused, the dialog comes again
            FileDialogs::setNextFileName(slot);
            dialog->cmdBrowse[2]->click();
            QCOMPARE(Messages::takeShown().value(0).text, QStringLiteral("The specified file does not exist."));
            QCOMPARE(dialog->txtZolProject[2]->text(), slot);
            if (accept)
                dialog->cmdOK->click();
            else
                QTest::keyClick(dialog, Qt::Key_Escape);
            QTRY_VERIFY(!f.window->findChild<frmZolProjects*>());
            QVERIFY(f.windows.isTopMost(f.window.get()));
            QCOMPARE(p.QuickSlots[2], accept ? slot : QString());
            QCOMPARE(f.settings.ReadSetting("ZolProjects", "ZolProject2"), accept ? slot : QString());
            QCOMPARE(f.window->findChild<isButton*>(QStringLiteral("icmdZolProject(1)"))->isEnabled(), accept);
        }
    }
};

ZP_TEST_CLASS(MainWindowTest)
#include "MainWindowTest.moc"
