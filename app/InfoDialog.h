#pragma once
// TfrmInfo: the information box about the program and its maker, shown modally from the main
// window. One object serves every showing; it is hidden between them.

#include <QDialog>

class QLabel;
class QPushButton;

namespace cibrano {

class TBevel;
class TPanel;

class TfrmInfo : public QDialog {
    Q_OBJECT
public:
    explicit TfrmInfo(QWidget* parent = nullptr);

    // Shows the box modally and returns when it closes: QDialog::Accepted for OK (or Enter).
    int showModal();

    TPanel* Panel1;
    QLabel* ProgramIcon;
    QLabel* ProductName;
    QLabel* ProductLine;
    TBevel* Bevel1;
    QLabel* Label2; // the maker's postal address
    QLabel* Label3; // telephone and fax
    QLabel* Label1; // web address
    QPushButton* OKButton;

protected:
    void showEvent(QShowEvent* event) override;
};

// The maker's details as the build configured them.
QString makerName();
QString makerAddress();
QString makerPhone();
QString makerWeb();

} // namespace cibrano
