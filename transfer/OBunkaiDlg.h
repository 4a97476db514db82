#pragma once

#include "platform/Dialog.h"

#include <string>

class QLabel;
class QLineEdit;

// Where the programs of a received tape are saved one per file ("プログラム番号別保存"): a base
// folder, the name of the folder to create under it, and the extension of the files. Paths
// and names are UTF-8.
class COBunkaiDlg : public CDialog {
    Q_OBJECT

public:
    explicit COBunkaiDlg(QWidget* pParent = nullptr);

    // Shows the base folder and the two fields; the extension is locked unless editable.
    bool OnInitDialog() override;
    // 1033: picks the base folder with the folder browser.
    void OnBrowse();
    // Takes the fields; stays open while the folder name is empty.
    void OnOK();

    bool m_bExtensionEditable = true;
    std::string m_strBaseFolder;             // ends in "/" unless empty
    QLabel* m_pBaseFolderDisplay = nullptr;  // 1034
    std::string m_strFolderName = "IN";      // 1035
    std::string m_strExtension = "NC";       // 1036

    QLineEdit& FolderNameEdit() const { return *m_pFolderNameEdit; }
    QLineEdit& ExtensionEdit() const { return *m_pExtensionEdit; }

private:
    QLineEdit* m_pFolderNameEdit = nullptr;
    QLineEdit* m_pExtensionEdit = nullptr;
};
