// The plot window's small dialogs: bitmap size for saving, graph title,
// legend texts and active curves.
#pragma once

#include <QDialog>
#include <QStringList>
#include <functional>
#include <memory>

namespace Ui {
class TdlgFormat;
class TfrmGraphCaption;
class TfrmLineNames;
class TfrmActiveLines;
}  // namespace Ui

class QLabel;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QPushButton;
class QRadioButton;
class QGroupBox;

namespace vortn {

class TDataEdit;

// Size of a saved bitmap: height and width in inches and pixels per inch.
class TdlgFormat : public QDialog {
    Q_OBJECT
public:
    explicit TdlgFormat(QWidget* parent = nullptr);
    ~TdlgFormat() override;
    long double HeightInches() const { return height_; }
    long double WidthInches() const { return width_; }
    int PixelsPerInch() const { return ppi_; }
    TDataEdit* deHeight = nullptr;
    TDataEdit* deWidth = nullptr;
    TDataEdit* dePPI = nullptr;
    QRadioButton *rbBW = nullptr, *rb16 = nullptr, *rb256 = nullptr, *rbHigh = nullptr, *rbTrue = nullptr;
    QPushButton* btnOK = nullptr;
    QPushButton* btnCancel = nullptr;
    // Checks the three boxes (each shows its own error); false when one is refused.
    bool ReadValues();

public slots:
    void btnOKClick();

private:
    std::unique_ptr<Ui::TdlgFormat> ui_;
    long double height_ = 4.0L, width_ = 6.0L;
    int ppi_ = 72;
};

class TfrmGraphCaption : public QDialog {
    Q_OBJECT
public:
    explicit TfrmGraphCaption(QWidget* parent = nullptr);
    ~TfrmGraphCaption() override;
    QLineEdit* edtCaption = nullptr;
    QRadioButton* rbTop = nullptr;
    QRadioButton* rbBottom = nullptr;
    QPushButton* btnOK = nullptr;

private:
    std::unique_ptr<Ui::TfrmGraphCaption> ui_;
};

class TfrmLineNames : public QDialog {
    Q_OBJECT
public:
    explicit TfrmLineNames(const QStringList& lines, QWidget* parent = nullptr);
    ~TfrmLineNames() override;
    QStringList Lines() const;
    QListWidget* lbLines = nullptr;
    QLineEdit* edLine = nullptr;
    QPushButton* btnOK = nullptr;
    QPushButton* btnCancel = nullptr;

public slots:
    void lbLinesClick();
    void edLineExit();
    void btnOKClick();
    // Stacks the controls: the list takes the height the others leave.
    void FormResize();

protected:
    void resizeEvent(QResizeEvent*) override;

private:
    std::unique_ptr<Ui::TfrmLineNames> ui_;
};

class TfrmActiveLines : public QDialog {
    Q_OBJECT
public:
    TfrmActiveLines(const QStringList& texts, const QStringList& states, QWidget* parent = nullptr);
    ~TfrmActiveLines() override;
    const QStringList& States() const { return states_; }
    QListWidget* lbLines = nullptr;
    QPushButton *btnOK = nullptr, *btnCancel = nullptr;
    QPushButton *ActivateButton = nullptr, *DesactivateButton = nullptr, *ActivateDesactivateButton = nullptr;

public slots:
    void lbLinesDblClick();
    void ActivateButtonClick();
    void DesactivateButtonClick();
    void ActivateDesactivateButtonClick();

private:
    void Toggle(int row);
    void Rewrite(int row);
    std::unique_ptr<Ui::TfrmActiveLines> ui_;
    QStringList texts_, states_;
};

}  // namespace vortn
