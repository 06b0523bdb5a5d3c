#include "form_fixture.h"

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

} // namespace scanvale::test
