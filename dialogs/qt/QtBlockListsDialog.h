#pragma once

#include <QDialog>
#include <QTimer>
#include <vector>

class CBlockListsDialog;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QTableWidget;

// The window of "Block Lists": a table of the subscribed lists (URL, side, names, last
// update, last error) with a URL entry, a side and the Add, Remove and Update Now buttons
// below it; the catalogue's lists as check boxes; the other list files with their counts;
// OK and Cancel at the right. The table follows the logic, and is read again every second
// so that downloads finishing while the window is open show. Controls are found by their
// object names (the ids below). Cancel or closing writes nothing.
class CQtBlockListsDialog : public QDialog {
public:
    static constexpr int kListTable = 1040;
    static constexpr int kUrlEdit = 1041;
    static constexpr int kSideChoice = 1042;
    static constexpr int kAddButton = 1043;
    static constexpr int kRemoveButton = 1044;
    static constexpr int kUpdateNowButton = 1045;
    static constexpr int kOtherFileList = 1046;
    static constexpr int kAddRefusal = 1047;         // why the last Add was refused
    static constexpr int kFirstCatalogueBox = 1050;  // one per catalogue list, in order
    static constexpr int kRefreshIntervalMs = 1000;

    // `logic` is not owned and must outlive the window.
    explicit CQtBlockListsDialog(CBlockListsDialog& logic, QWidget* parent = nullptr);

    void accept() override;

private:
    void OnAdd();
    void OnRemove();
    void OnCatalogueToggled(std::size_t index, bool ticked);
    // Shows the logic's rows, ticks and other files as they are now.
    void Refresh();

    CBlockListsDialog& m_logic;
    QTableWidget* m_table;
    QLineEdit* m_url;
    QComboBox* m_side;
    QLabel* m_refusal;
    QListWidget* m_otherFiles;
    std::vector<QCheckBox*> m_catalogue;
    QTimer m_refresh;
};
