#include "form_fixture.h"

#include "picture_button.h"

#include <QFile>
#include <QTreeWidget>

namespace scanvale::test {

Form1& FormFixture::Create() {
    form = std::make_unique<Form1>(Form1Services{.dialogs = &dialogs,
                                                 .maybeOpenHomePage =
                                                     [this] {
                                                         ++homePageDraws;
                                                         if (onHomePageDraw) {
                                                             onHomePageDraw();
                                                         }
                                                     },
                                                 .endProcess =
                                                     [this] {
                                                         ++endProcessCalls;
                                                         if (onEndProcess) {
                                                             onEndProcess();
                                                         }
                                                     },
                                                 .pointerImageFolder = pointerDir.path()});
    return *form;
}

Form1& FormFixture::Load() {
    Create().Form_Load();
    return *form;
}

void FormFixture::AddFolders(const QStringList& paths) {
    for (const QString& path : paths) {
        dialogs.folders.enqueue(QFile::encodeName(path));
        Find<PictureButton>("Check3")->setChecked(true);
    }
    dialogs.calls.clear();
}

void FormFixture::WhenSearching(const QString& folder, std::function<void()> action) {
    auto* folders = Find<QTreeWidget>("ListView1");
    auto fired = std::make_shared<bool>(false);
    QObject::connect(folders->model(), &QAbstractItemModel::headerDataChanged, form.get(),
                     [this, folders, header = "Searching " + folder, action, fired] {
                         const QString text = folders->headerItem()->text(0);
                         if (!*fired && (text == header || text.startsWith(header + u'/'))) {
                             *fired = true;
                             QMetaObject::invokeMethod(form.get(), action, Qt::QueuedConnection);
                         }
                     });
}

} // namespace scanvale::test
