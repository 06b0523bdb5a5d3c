#pragma once

#include "form1.h"
#include "scripted_dialogs.h"

#include <QStringList>
#include <QTemporaryDir>
#include <functional>
#include <memory>

namespace scanvale::test {

// A main window wired to scripted dialogs and recorders: the home-page draw and the end of the
// process are counted instead of done. The hand pointer image is looked for in `pointerDir`,
// empty unless a test puts a file there.
struct FormFixture {
    ScriptedDialogs dialogs;
    QTemporaryDir pointerDir;
    int homePageDraws = 0;
    int endProcessCalls = 0;
    std::function<void()> onHomePageDraw;
    std::function<void()> onEndProcess;
    std::unique_ptr<Form1> form;

    // Creates the window; Form_Load is left to the test.
    Form1& Create();
    // Creates the window and runs Form_Load.
    Form1& Load();

    // Adds folders through the "Add Folder to Search" press, as the user does; the chooser's
    // questions are then forgotten, so `dialogs.calls` holds only what comes after.
    void AddFolders(const QStringList& paths);

    // Queues `action` once the folder list's header first shows `folder` or one below it being
    // searched, so that it runs in that turn of the run (before the next listed folder).
    void WhenSearching(const QString& folder, std::function<void()> action);

    template <typename Control> Control* Find(const char* name) const {
        return form->findChild<Control*>(QString::fromLatin1(name));
    }
};

} // namespace scanvale::test
