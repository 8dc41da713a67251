// The forms behind the dialog kinds.
#include "dialog_host.h"
#include "foundation_dialogs.h"
#include "load_dialogs.h"
#include "mass_dialogs.h"
#include "pile_dialogs.h"
#include "small_dialogs.h"

namespace vortn {

TInputDialog* CreateInputDialog(TDialogHost& host, TDialogKind kind) {
    switch (kind) {
        case TDialogKind::PileCapProperties:
            return new TfrmNCPileProperties(host);
        case TDialogKind::PileProperties:
            return new TfrmCPileProperties(host);
        case TDialogKind::Title:
            return new TdlgTitle(host);
        case TDialogKind::Options:
            return new TDlgOptions(host);
        case TDialogKind::Shape:
            return new TfrmShape(host);
        case TDialogKind::Layout:
            return new TfrmLayout(host);
        case TDialogKind::MassData:
            return new TfrmMassdata(host);
        case TDialogKind::FoundationData:
            return new TfrmFoundations(host);
        case TDialogKind::FoundationProperties:
            return new TfrmMultimat(host);
        case TDialogKind::SoilBelow:
            return new TfrmTipsoil(host);
        case TDialogKind::Harmonic:
            return new Tfrmharmonic(host);
        case TDialogKind::Quadratic:
            return new TfrmQuad(host);
        case TDialogKind::Transient:
            return new Tfrmtransient(host);
        case TDialogKind::Random:
            return new Tfrmrandom(host);
    }
    return nullptr;
}

}  // namespace vortn
