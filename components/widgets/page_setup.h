// Page set-up dialog: margins and minimum margins in the unit the options
// choose (thousandths of an inch or hundredths of a millimetre), the paper
// size the user picked, and the flag word the options map to.
#pragma once

#include <QPointer>
#include <QString>
#include <QWidget>
#include <functional>
#include <memory>
#include <set>

class QPageSetupDialog;
class QPrinter;

namespace vortn {

enum class TPageSetupFlags {
    poDefaultMinMargins,
    poDisableMargins,
    poMargins,
    poMinMargins,
    poDisableOrientation,
    poDisablePaper,
    poDisablePrinter,
    poHundredthsOfMillimeters,
    poThousandthsOfInches,
};
using TPageOptions = std::set<TPageSetupFlags>;

// The flag value each option stands for in the dialog's flag word.
unsigned PageSetupFlagValue(TPageSetupFlags flag);

class TPageSetupDialog {
public:
    TPageSetupDialog();

    const TPageOptions& Options() const { return options_; }
    void SetOptions(const TPageOptions& value);
    unsigned FlagWord() const { return flags_; }

    int MarginLeft() const { return margin_[0]; }
    int MarginTop() const { return margin_[1]; }
    int MarginRight() const { return margin_[2]; }
    int MarginBottom() const { return margin_[3]; }
    void SetMarginLeft(int v) { SetMargin(0, v); }
    void SetMarginTop(int v) { SetMargin(1, v); }
    void SetMarginRight(int v) { SetMargin(2, v); }
    void SetMarginBottom(int v) { SetMargin(3, v); }

    int MinMarginLeft() const { return minMargin_[0]; }
    int MinMarginTop() const { return minMargin_[1]; }
    int MinMarginRight() const { return minMargin_[2]; }
    int MinMarginBottom() const { return minMargin_[3]; }
    void SetMinMarginLeft(int v) { SetMinMargin(0, v); }
    void SetMinMarginTop(int v) { SetMinMargin(1, v); }
    void SetMinMarginRight(int v) { SetMinMargin(2, v); }
    void SetMinMarginBottom(int v) { SetMinMargin(3, v); }

    // How many margin units make an inch: 1000 when the options choose
    // thousandths of an inch, 2540 (hundredths of a millimetre) otherwise.
    int MarginUnitsPerInch() const;

    int PaperLength() const { return paperLength_; }
    int PaperWidth() const { return paperWidth_; }

    // The printer whose settings the dialog starts from (not changed by the
    // dialog's choices); none means the dialog cannot run.
    void SetPrinter(QPrinter* printer) { printer_ = printer; }
    QPrinter* Printer() const { return printer_; }
    void SetParentWidget(QWidget* parent) { parent_ = parent; }

    // The dialog itself: true on OK. Replaceable so that callers can be run
    // without a user (the runner gets a copy of the margins and fills in the
    // paper size and the chosen margins, all in the dialog's unit).
    struct Result {
        int margins[4];
        int paperWidth = 0, paperLength = 0;
    };
    using Runner = std::function<bool(TPageSetupDialog& dialog, Result& result)>;
    void SetRunner(Runner runner) { runner_ = std::move(runner); }

    bool Execute();

    // The dialog Execute shows, set up on `copy` (a printer made from the
    // dialog's printer): margins and minimum margins in the options' unit,
    // shown in that unit, the parts the options disable disabled.
    std::unique_ptr<QPageSetupDialog> MakeQtDialog(QPrinter& copy) const;

private:
    void SetMargin(int i, int v) { margin_[i] = v > minMargin_[i] ? v : minMargin_[i]; }
    void SetMinMargin(int i, int v) { minMargin_[i] = v < margin_[i] ? v : margin_[i]; }
    bool RunQtDialog(Result& result);
    void ShowError(const QString& text);

    TPageOptions options_;
    unsigned flags_ = 0;
    int margin_[4] = {0, 0, 0, 0};
    int minMargin_[4] = {0, 0, 0, 0};
    int paperLength_ = 0, paperWidth_ = 0;
    QPrinter* printer_ = nullptr;
    QPointer<QWidget> parent_;
    Runner runner_;
};

}  // namespace vortn
