#include "zentrova/CrdRewriteDlg.h"

#include "platform/core/Prompt.h"
#include "platform/ui/DialogUnits.h"
#include "platform/ui/QtText.h"
#include "platform/ui/UiFont.h"
#include "veltrane/database/CrdRewriteAsker.h"
#include "veltrane/model/Point.h"

#include <QLabel>
#include <QPushButton>
#include <QStyle>

namespace {

QLabel *addText(QWidget *dialog, const CString &text, int id, const QRect &dlu,
                const DialogUnits &units) {
    auto *label = new QLabel(ToQString(text), dialog);
    label->setTextFormat(Qt::PlainText);
    PlaceControl(label, id, dlu, units);
    return label;
}

} // namespace

CrdRewriteDlg::CrdRewriteDlg(const CString &name, const Coordinate &read, const Coordinate &stored,
                             CoordinateKind kind, ITRFCoordKind storedItrf, QWidget *parent)
    : QDialog(parent) {
    setFont(UiFont(9));
    setWindowTitle(ToQString("座標の上書きの確認"));
    const DialogUnits units(font());
    auto *icon = new QLabel(this);
    const int side = style()->pixelMetric(QStyle::PM_MessageBoxIconSize, nullptr, this);
    icon->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxInformation).pixmap(side, side));
    PlaceControl(icon, IDC_ICON, QRect(7, 7, 21, 20), units);
    // A Tokyo-datum read adds the file's point beside the stored one, which stays as it is.
    const bool adds = kind == CrdKindTokyo;
    CString first = "同じ点名で、同じ種類の座標を持つ点が既に存在します。";
    CString question = "既存の点に上書きして登録しますか？";
    CString kindCaption = "上書きされる座標";
    CString kindText = Point::GetCoordKindName(kind, storedItrf);
    if (adds) {
        const char *role = storedItrf == ITRFKindCnvBasis ? "変換基準点"
                           : storedItrf == ITRFKindChkObs ? "検測点"
                                                          : "点";
        first.Format("同じ点名の%sが既に存在します。", role);
        question = "読み込んだ点を、同じ点名の別の点として追加しますか？";
        kindCaption = "既存の点";
        kindText.Format("%s（変更されません）", role);
    }
    addText(this, first, -1, QRect(35, 7, 252, 8), units);
    addText(this, question, -1, QRect(35, 19, 252, 8), units);
    const CString captions[] = {"点名", kindCaption, "既存の座標値", "読み込んだ座標値"};
    const CString values[] = {name, kindText, CrdRewriteQuestion::CoordText(stored),
                              CrdRewriteQuestion::CoordText(read)};
    const int ids[] = {IDC_NAME, IDC_KIND, IDC_STORED, IDC_READ};
    for (int i = 0; i < 4; ++i) {
        addText(this, captions[i], -1, QRect(35, 38 + 15 * i, 72, 8), units);
        addText(this, values[i], ids[i], QRect(110, 38 + 15 * i, 177, 8), units);
    }
    struct ButtonSpec {
        const char *text;
        int id;
        int answer;
    };
    const ButtonSpec buttons[] = {{"はい(&Y)", IDYES, Overwrite},
                                  {"すべて上書き(&A)", IDC_OVERWRITE_ALL, OverwriteAll},
                                  {"いいえ(&N)", IDNO, Skip},
                                  {"キャンセル", IDCANCEL, Cancel}};
    for (int i = 0; i < 4; ++i) {
        auto *button = new QPushButton(ToQString(buttons[i].text), this);
        PlaceControl(button, buttons[i].id, QRect(7 + 70 * i, 118, 64, 14), units);
        const int answer = buttons[i].answer;
        connect(button, &QPushButton::clicked, this, [this, answer] { done(answer); });
        if (i == 0)
            button->setDefault(true);
    }
    setFixedSize(units.ToPixels(QSize(294, 139)));
}

int CrdRewriteDlg::DoModal() { return exec(); }

void CrdRewriteDlg::reject() { done(Cancel); }
