#pragma once

class QCheckBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;
class QTreeWidget;

namespace scanvale {

class PictureButton;

// The controls of the main window, named as in its design. All are children of the window,
// which owns them for its whole life.
struct Form1Controls {
    PictureButton* Check1 = nullptr;  // "Search!" (a command button)
    PictureButton* Check6 = nullptr;  // "Clear Results" (push-style check box)
    QLineEdit* Text1 = nullptr;       // the phrase box
    QCheckBox* Check5 = nullptr;      // "Search In Subfolders Also"
    QCheckBox* Check4 = nullptr;      // "Match Case"
    PictureButton* Check3 = nullptr;  // "Add Folder to Search" (push-style check box)
    QPushButton* Command1 = nullptr;  // invisible, left of the client area; holds first focus
    PictureButton* Check2 = nullptr;  // "Save Results To Text File" (push-style check box)
    QTreeWidget* ListView1 = nullptr; // the folder list
    QTableView* ListView2 = nullptr;  // the results list (its rows: RowsOf(*ListView2))
    QFrame* Line1 = nullptr;          // the thin rule under the picture buttons
    QLabel* Label1 = nullptr;         // " Search for what phrase:"
};

} // namespace scanvale
