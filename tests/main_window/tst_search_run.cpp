// The search button: refusals, runs over the folder list, stop requests and what a run allows
// to happen inside its yields.

#include "form_fixture.h"
#include "list_texts.h"
#include "results_model.h"
#include "search/globals.h"
#include "search/pipeline.h"
#include "stalled_mount.h"
#include "tree_fixture.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QClipboard>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QLineEdit>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

using scanvale::Form1;
using scanvale::PointerKind;
using scanvale::test::FormFixture;
using scanvale::test::Texts;
namespace Search = scanvale::Search;
namespace Globals = scanvale::Globals;
using scanvale::test::TestTree;
using Call = scanvale::test::ScriptedDialogs::Call;
using Icon = scanvale::Dialogs::Icon;

namespace {

// A small tree: A holds a non-matching file, then a match, then a subfolder with a match of
// its own; B holds "Invoice" in capitals and, after it in name order, "nothing".
struct Tree : TestTree {
    Tree() {
        Write("A/a1.txt", "nothing to see\n");
        Write("A/a2.txt", "the invoice is due\n");
        Write("A/sub/s.txt", "invoice\n");
        Write("B/b.txt", "Invoice.\n");
        Write("B/b0.txt", "nothing either\n");
    }
    QString Path(const QString& relative) const {
        return QString::fromStdString(TestTree::Path(relative.toStdString()));
    }
};

// A loaded, shown window with scripted dialogs and shortcuts to the controls a run touches.
struct RunFixture : FormFixture {
    QTreeWidget* folders = nullptr;
    QTableView* results = nullptr;
    QAbstractButton* button = nullptr;
    QLineEdit* phrase = nullptr;

    RunFixture() {
        Form1& window = Load();
        window.show();
        folders = Find<QTreeWidget>("ListView1");
        results = Find<QTableView>("ListView2");
        button = Find<QAbstractButton>("Check1");
        phrase = Find<QLineEdit>("Text1");
        Find<QCheckBox>("Check5")->setChecked(true); // unticked as designed
    }
    void Click() { QTest::mouseClick(button, Qt::LeftButton); }
    QStringList Results() const { return Texts(*results); }
    QStringList Messages() const {
        QStringList texts;
        for (const Call& call : dialogs.calls) {
            texts << call.text;
        }
        return texts;
    }
};

QString Searching(const QString& folder) {
    return QStringLiteral("Searching ") + folder;
}

} // namespace

class TestSearchRun : public QObject {
    Q_OBJECT

private slots:
    void refusals_data();
    void refusals();
    void fullRun_data();
    void fullRun();
    void twoRunsListEveryMatchTwice();
    void busyPointerCoversControls();
    void stopMidRun_data();
    void stopMidRun();
    void optionsReadOnceAtStart();
    void phraseEditAppliesToLaterFolders();
    void clickWhileStoppedRunUnwindsStartsNestedRun();
    void foldersRemovedDuringRun();
    void missingFolderSkipped();
    void pathsThatAreNotUtf8();
    void longPastedPhraseSearchedWhole();
    void closingDuringRunEndsProcess();
    void stopWhileAReadStalls();
};

void TestSearchRun::refusals_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("withFolder");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("title");
    QTest::addColumn<int>("icon");
    QTest::addColumn<bool>("stopAfter");
    const QString blank = QStringLiteral("Input search for what phrase");
    const int warning = static_cast<int>(Icon::Warning);
    QTest::newRow("empty phrase") << QString() << true << blank << "Message" << warning << false;
    QTest::newRow("spaces only") << "   " << true << blank << "Message" << warning << false;
    QTest::newRow("blank phrase and no folders")
        << "  " << false << blank << "Message" << warning << false;
    QTest::newRow("no folders") << "invoice" << false << "No folders added."
                                << "Scanvale" << static_cast<int>(Icon::None) << true;
}

void TestSearchRun::refusals() {
    QFETCH(QString, typed);
    QFETCH(bool, withFolder);
    QFETCH(QString, message);
    QFETCH(QString, title);
    QFETCH(int, icon);
    QFETCH(bool, stopAfter);
    Tree tree;
    RunFixture f;
    if (withFolder) {
        f.AddFolders({tree.Path("A")});
    }
    f.phrase->setText(typed);
    Globals::StopSearch = false;
    PointerKind pointerWhileAsking = PointerKind::Default;
    f.dialogs.whileAsking = [&] { pointerWhileAsking = f.form->MousePointer(); };

    f.Click();

    QCOMPARE(f.Messages(), QStringList{message});
    QCOMPARE(f.dialogs.calls.front().title, title);
    QCOMPARE(static_cast<int>(f.dialogs.calls.front().icon), icon);
    QCOMPARE(f.dialogs.calls.front().owner, f.form.get());
    // The empty list is found after the run has begun, so its box shows over the hourglass.
    QCOMPARE(pointerWhileAsking, stopAfter ? PointerKind::Hourglass : PointerKind::Default);
    QCOMPARE(Globals::StopSearch, stopAfter);
    QCOMPARE(f.button->text(), QStringLiteral("Search!"));
    QCOMPARE(f.form->MousePointer(), PointerKind::Default);
    QCOMPARE(f.folders->headerItem()->text(0), QStringLiteral("Folder(s)"));
    QVERIFY(f.Results().isEmpty());
}

void TestSearchRun::fullRun_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("matchCase");
    QTest::addColumn<bool>("subfolders");
    QTest::addColumn<QStringList>("expected"); // relative to the tree
    QTest::newRow("any case, subfolders")
        << "INVOICE" << false << true << QStringList{"A/a2.txt", "A/sub/s.txt", "B/b.txt"};
    QTest::newRow("match case") << "invoice" << true << true
                                << QStringList{"A/a2.txt", "A/sub/s.txt"};
    QTest::newRow("no subfolders")
        << "invoice" << false << false << QStringList{"A/a2.txt", "B/b.txt"};
    QTest::newRow("surrounding spaces are searched for")
        << " invoice " << false << true << QStringList{"A/a2.txt"};
}

void TestSearchRun::fullRun() {
    QFETCH(QString, typed);
    QFETCH(bool, matchCase);
    QFETCH(bool, subfolders);
    QFETCH(QStringList, expected);
    Tree tree;
    RunFixture f;
    f.AddFolders({tree.Path("A"), tree.Path("B")});
    f.phrase->setText(typed);
    f.Find<QCheckBox>("Check4")->setChecked(matchCase);
    f.Find<QCheckBox>("Check5")->setChecked(subfolders);
    scanvale::RowsOf(*f.results).Append({"earlier"});
    QStringList headers;
    connect(f.folders->model(), &QAbstractItemModel::headerDataChanged, this,
            [&] { headers << f.folders->headerItem()->text(0); });
    QString captionWhileDone;
    PointerKind pointerWhileDone = PointerKind::Default;
    QString headerWhileDone;
    QString nameWhileDone; // what assistive tools read
    f.dialogs.whileAsking = [&] {
        captionWhileDone = f.button->text();
        nameWhileDone = f.button->accessibleName();
        pointerWhileDone = f.form->MousePointer();
        headerWhileDone = f.folders->headerItem()->text(0);
    };

    f.Click();

    QStringList want{"earlier"};
    for (const QString& relative : expected) {
        want << tree.Path(relative);
    }
    QCOMPARE(f.Results(), want);
    QCOMPARE(f.Messages(), QStringList{"Done."});
    QCOMPARE(f.dialogs.calls.front().title, QStringLiteral("Scanvale"));
    QCOMPARE(f.dialogs.calls.front().icon, Icon::None);
    QCOMPARE(captionWhileDone, QStringLiteral("Stop!"));
    QCOMPARE(nameWhileDone, QStringLiteral("Stop!"));
    QCOMPARE(pointerWhileDone, PointerKind::Hourglass);
    QCOMPARE(headerWhileDone, QStringLiteral("Folder(s)"));
    // Each turn shows the latest folder entered: at least each listed folder's last one.
    QVERIFY(headers.contains(Searching(tree.Path(subfolders ? "A/sub" : "A"))));
    QCOMPARE(headers.contains(Searching(tree.Path("A/sub"))), subfolders);
    QVERIFY(headers.contains(Searching(tree.Path("B"))));
    QCOMPARE(f.button->text(), QStringLiteral("Search!"));
    QCOMPARE(f.button->accessibleName(), QStringLiteral("Search!"));
    QVERIFY(Globals::StopSearch);
    QCOMPARE(f.form->MousePointer(), PointerKind::Default);
}

void TestSearchRun::twoRunsListEveryMatchTwice() {
    Tree tree;
    RunFixture f;
    f.AddFolders({tree.Path("A")});
    f.phrase->setText(QStringLiteral("invoice"));
    f.Click();
    f.Click();
    const QString match = tree.Path("A/a2.txt");
    const QString inSub = tree.Path("A/sub/s.txt");
    QCOMPARE(f.Results(), (QStringList{match, inSub, match, inSub}));
    QCOMPARE(f.Messages(), (QStringList{"Done.", "Done."}));
}

void TestSearchRun::busyPointerCoversControls() {
    // Controls with a pointer of their own (the phrase box's text pointer) show the hourglass
    // too while a run is under way, and get their own pointer back afterwards.
    Tree tree;
    RunFixture f;
    f.AddFolders({tree.Path("A")});
    f.phrase->setText(QStringLiteral("invoice"));
    QCOMPARE(f.phrase->cursor().shape(), Qt::IBeamCursor);
    QStringList notBusy;
    f.dialogs.whileAsking = [&] {
        for (QWidget* control : f.form->findChildren<QWidget*>()) {
            if (control->window() == f.form.get() && control->cursor().shape() != Qt::WaitCursor) {
                notBusy << control->objectName() + QLatin1Char('/') +
                               QString::fromLatin1(control->metaObject()->className());
            }
        }
    };
    f.Click();
    QCOMPARE(f.Messages(), QStringList{"Done."});
    QCOMPARE(notBusy, QStringList{});
    QCOMPARE(f.phrase->cursor().shape(), Qt::IBeamCursor);
    QCOMPARE(f.form->cursor().shape(), Qt::ArrowCursor);
}

void TestSearchRun::stopMidRun_data() {
    QTest::addColumn<bool>("afterFirstMatch"); // else as soon as A is entered
    QTest::newRow("once A is entered") << false;
    QTest::newRow("after the first match") << true;
}

// The stop is handled in the window's next turn; what the run had shown by then stays, and
// nothing is shown after it: not B (the run handles events before each listed folder), nor
// anything more of A.
void TestSearchRun::stopMidRun() {
    QFETCH(bool, afterFirstMatch);
    Tree tree;
    RunFixture f;
    f.AddFolders({tree.Path("A"), tree.Path("B")});
    f.phrase->setText(QStringLiteral("invoice"));
    QStringList seen;
    connect(f.folders->model(), &QAbstractItemModel::headerDataChanged, this,
            [&] { seen << f.folders->headerItem()->text(0); });
    QString captionAfterStop;
    QStringList resultsAtStop;
    QStringList headersAtStop;
    const auto stop = [&] {
        f.Click();
        captionAfterStop = f.button->text();
        resultsAtStop = f.Results();
        headersAtStop = seen;
    };
    if (afterFirstMatch) {
        auto queued = std::make_shared<bool>(false);
        connect(f.results->model(), &QAbstractItemModel::rowsInserted, this, [&, queued] {
            if (!*queued) {
                *queued = true;
                QMetaObject::invokeMethod(f.form.get(), stop, Qt::QueuedConnection);
            }
        });
    } else {
        f.WhenSearching(tree.Path("A"), stop);
    }
    QString captionWhileDone;
    f.dialogs.whileAsking = [&] { captionWhileDone = f.button->text(); };

    f.Click();

    QCOMPARE(captionAfterStop, QStringLiteral("Search!"));
    QCOMPARE(f.Results(), resultsAtStop);
    QCOMPARE(seen, headersAtStop + QStringList{QStringLiteral("Folder(s)")});
    QVERIFY(!seen.contains(Searching(tree.Path("B"))));
    if (afterFirstMatch) {
        QCOMPARE(resultsAtStop.front(), tree.Path("A/a2.txt"));
    }
    QVERIFY(!resultsAtStop.contains(tree.Path("B/b.txt")));
    QCOMPARE(f.Messages(), QStringList{"Done."});
    QCOMPARE(captionWhileDone, QStringLiteral("Search!"));
    QCOMPARE(f.folders->headerItem()->text(0), QStringLiteral("Folder(s)"));
    QCOMPARE(f.button->text(), QStringLiteral("Search!"));
    QVERIFY(Globals::StopSearch);
    QCOMPARE(f.form->MousePointer(), PointerKind::Default);
}

void TestSearchRun::optionsReadOnceAtStart() {
    Tree tree;
    RunFixture f;
    f.AddFolders({tree.Path("A"), tree.Path("B")});
    f.phrase->setText(QStringLiteral("invoice"));
    f.WhenSearching(tree.Path("A"), [&] {
        f.Find<QCheckBox>("Check4")->setChecked(true);
        f.Find<QCheckBox>("Check5")->setChecked(false);
    });
    f.Click();
    QCOMPARE(f.Results(),
             (QStringList{tree.Path("A/a2.txt"), tree.Path("A/sub/s.txt"), tree.Path("B/b.txt")}));
}

void TestSearchRun::phraseEditAppliesToLaterFolders() {
    Tree tree;
    RunFixture f;
    f.AddFolders({tree.Path("A"), tree.Path("B")});
    f.phrase->setText(QStringLiteral("invoice"));
    f.WhenSearching(tree.Path("A"), [&] { f.phrase->setText(QStringLiteral("nothing")); });
    f.Click();
    // A keeps the phrase it began with; B, not yet begun, gets the new one.
    QCOMPARE(f.Results(),
             (QStringList{tree.Path("A/a2.txt"), tree.Path("A/sub/s.txt"), tree.Path("B/b0.txt")}));
}

void TestSearchRun::clickWhileStoppedRunUnwindsStartsNestedRun() {
    Tree tree;
    RunFixture f;
    f.AddFolders({tree.Path("A"), tree.Path("B")});
    f.phrase->setText(QStringLiteral("invoice"));
    // Two clicks reach the same turn of the outer run (both are queued before it comes): the
    // first asks it to stop, the second finds "Search!" and runs a whole search there before
    // the outer run can unwind.
    QStringList outerResults;
    auto queued = std::make_shared<bool>(false);
    connect(f.folders->model(), &QAbstractItemModel::headerDataChanged, this, [&, queued] {
        if (!*queued && f.folders->headerItem()->text(0).startsWith(Searching(tree.Path("A")))) {
            *queued = true;
            QMetaObject::invokeMethod(
                f.form.get(),
                [&] {
                    outerResults = f.Results();
                    f.Click();
                },
                Qt::QueuedConnection);
            QMetaObject::invokeMethod(
                f.form.get(), [&] { f.Click(); }, Qt::QueuedConnection);
        }
    });
    QStringList captionsWhileDone;
    QList<bool> stopWhileDone;
    f.dialogs.whileAsking = [&] {
        captionsWhileDone << f.button->text();
        stopWhileDone << Globals::StopSearch;
    };

    f.Click();

    QCOMPARE(f.Messages(), (QStringList{"Done.", "Done."}));
    // The inner run went through every folder; the outer one showed nothing after the stop.
    QCOMPARE(captionsWhileDone, (QStringList{"Stop!", "Search!"}));
    QCOMPARE(stopWhileDone, (QList<bool>{false, true}));
    const QStringList inner{tree.Path("A/a2.txt"), tree.Path("A/sub/s.txt"), tree.Path("B/b.txt")};
    QCOMPARE(f.Results(), outerResults + inner);
    QCOMPARE(f.button->text(), QStringLiteral("Search!"));
    QVERIFY(Globals::StopSearch);
    QCOMPARE(f.form->MousePointer(), PointerKind::Default);
    QCOMPARE(f.folders->headerItem()->text(0), QStringLiteral("Folder(s)"));
}

void TestSearchRun::foldersRemovedDuringRun() {
    Tree tree;
    RunFixture f;
    f.AddFolders({tree.Path("A"), tree.Path("B"), tree.Path("B")});
    f.phrase->setText(QStringLiteral("invoice"));
    f.WhenSearching(tree.Path("A"), [&] {
        delete f.folders->takeTopLevelItem(2);
        delete f.folders->takeTopLevelItem(1);
    });
    f.Click();
    QCOMPARE(f.Results(), (QStringList{tree.Path("A/a2.txt"), tree.Path("A/sub/s.txt")}));
    QCOMPARE(f.Messages(), QStringList{"Done."});
    QCOMPARE(f.button->text(), QStringLiteral("Search!"));
}

void TestSearchRun::missingFolderSkipped() {
    Tree tree;
    RunFixture f;
    f.AddFolders({tree.Path("gone"), tree.Path("A/a2.txt"), tree.Path("B")});
    f.phrase->setText(QStringLiteral("invoice"));
    f.Click();
    QCOMPARE(f.Results(), QStringList{tree.Path("B/b.txt")});
    QCOMPARE(f.Messages(), QStringList{"Done."});
}

void TestSearchRun::pathsThatAreNotUtf8() {
    // Folder and file names need not be UTF-8: a folder chosen by its exact bytes is listed
    // readably (\xNN for a byte that is not UTF-8) and searched, and a file found in it keeps
    // its exact bytes for the save.
    Tree tree;
    tree.Write("\xc3\x9c"
               "ber\xff/caf\xe9.txt",
               "invoice\n");
    RunFixture f;
    const QByteArray folder = QByteArray::fromStdString(tree.Root()) + "/\xc3\x9c"
                                                                       "ber\xff";
    f.dialogs.folders.enqueue(folder);
    f.Find<QAbstractButton>("Check3")->setChecked(true);
    const QString shown = tree.Path(QStringLiteral("\u00dcber\\xff"));
    QCOMPARE(Texts(*f.folders), QStringList{shown});
    f.dialogs.calls.clear();
    f.phrase->setText(QStringLiteral("invoice"));
    f.Click();
    QCOMPARE(f.Messages(), QStringList{"Done."});
    QCOMPARE(f.Results(), QStringList{shown + QStringLiteral("/caf\\xe9.txt")});
    QCOMPARE(scanvale::RowsOf(*f.results).Path(0), folder + "/caf\xe9.txt");
}

void TestSearchRun::longPastedPhraseSearchedWhole() {
    // A phrase far longer than a line edit takes by default is pasted and searched whole: a
    // file that holds only its first 32,767 characters is not listed.
    QString phrase;
    for (int word = 0; phrase.size() < 40000; ++word) {
        phrase += QStringLiteral("word%1 ").arg(word);
    }
    phrase.truncate(40000);
    Tree tree;
    tree.Write("Cut/f.txt", "Text: " + phrase.left(32767).toStdString());
    tree.Write("Whole/f.txt", "Text: " + phrase.toStdString());
    RunFixture f;
    f.AddFolders({tree.Path("Cut"), tree.Path("Whole")});
    QGuiApplication::clipboard()->setText(phrase);
    f.phrase->setFocus();
    QTest::keySequence(f.phrase, QKeySequence::Paste);
    QCOMPARE(f.phrase->text().size(), phrase.size());
    f.Click();
    QCOMPARE(f.Results(), QStringList{tree.Path("Whole/f.txt")});
}

void TestSearchRun::closingDuringRunEndsProcess() {
    Tree tree;
    RunFixture f;
    f.AddFolders({tree.Path("A"), tree.Path("B")});
    f.phrase->setText(QStringLiteral("invoice"));
    bool closedInsideRun = false;
    f.onEndProcess = [&] { closedInsideRun = f.button->text() == QStringLiteral("Stop!"); };
    f.WhenSearching(tree.Path("A"), [&] { f.form->close(); });
    f.Click();
    QCOMPARE(f.endProcessCalls, 1);
    QVERIFY(closedInsideRun);
    // Here the end of the process is only recorded: the run goes on to its end unharmed.
    QCOMPARE(f.Messages(), QStringList{"Done."});
}

// A listed folder on a file system whose reads stall (a dead network share): "Stop!" gives
// "Done." at once, though the read is still stuck.
void TestSearchRun::stopWhileAReadStalls() {
    scanvale::test::StalledMount mount;
    if (!mount.Ok()) {
        QSKIP(qPrintable(mount.Error()));
    }
    RunFixture f;
    f.AddFolders({mount.MountPoint()});
    f.phrase->setText(QStringLiteral("needle"));
    QElapsedTimer sinceStop;
    QTimer user;
    user.setInterval(2);
    connect(&user, &QTimer::timeout, this, [&] {
        if (!sinceStop.isValid() && mount.ReadStalled()) {
            sinceStop.start();
            f.Click();
        }
    });
    user.start();
    double doneMs = -1;
    f.dialogs.whileAsking = [&] { doneMs = static_cast<double>(sinceStop.nsecsElapsed()) / 1e6; };

    f.Click();

    user.stop();
    QVERIFY(sinceStop.isValid());
    qInfo("\"Done.\" shown %.3f ms after \"Stop!\" was clicked", doneMs);
    QVERIFY2(doneMs >= 0 && doneMs < scanvale::test::StopBoundMs,
             qPrintable(QString::number(doneMs)));
    QCOMPARE(f.Messages(), QStringList{"Done."});
    QVERIFY(f.Results().isEmpty()); // b.txt matches, but comes after the stalled file
    QCOMPARE(f.button->text(), QStringLiteral("Search!"));
    mount.Release();
    QTRY_COMPARE_WITH_TIMEOUT(Search::Pipeline::RunningWorkers(), 0u, 10000);
}

QTEST_MAIN(TestSearchRun)
#include "tst_search_run.moc"
