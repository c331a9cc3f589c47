#include "ui/MDIPanel.h"

#include "ui/MdiCommandLine.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>

namespace morvik {

namespace {

constexpr int kFontPoints = 8;
constexpr int kColumn1 = 6;
constexpr int kColumn2 = 52;
constexpr int kColumn3 = 117;

constexpr CMDIPanel::Field kFields[] = {
    {"G", 1086, {15, 6, 18, 12}, kColumn1},   {"G", 1087, {15, 20, 18, 12}, kColumn1},
    {"G", 1089, {15, 34, 18, 12}, kColumn1},  {"G", 1088, {15, 48, 18, 12}, kColumn1},
    {"G", 1090, {15, 62, 18, 12}, kColumn1},  {"G", 1091, {15, 76, 18, 12}, kColumn1},
    {"G", 1093, {15, 90, 18, 12}, kColumn1},  {"G", 1092, {15, 104, 18, 12}, kColumn1},
    {"G", 1105, {15, 118, 18, 12}, kColumn1}, {"G", 1104, {15, 132, 18, 12}, kColumn1},
    {"X", 1094, {62, 6, 40, 12}, kColumn2},   {"Y", 1095, {62, 20, 40, 12}, kColumn2},
    {"Z", 1097, {62, 34, 40, 12}, kColumn2},  {"A", 1096, {62, 48, 40, 12}, kColumn2},
    {"I", 1098, {62, 62, 40, 12}, kColumn2},  {"J", 1099, {62, 76, 40, 12}, kColumn2},
    {"K", 1101, {62, 90, 40, 12}, kColumn2},  {"F", 1100, {62, 104, 40, 12}, kColumn2},
    {"R", 1103, {62, 118, 40, 12}, kColumn2}, {"S", 1102, {62, 132, 40, 12}, kColumn2},
    {"T", 1106, {127, 6, 40, 12}, kColumn3},  {"M", 1107, {127, 20, 40, 12}, kColumn3},
    {"L", 1109, {127, 34, 40, 12}, kColumn3}, {"P", 1108, {127, 49, 40, 12}, kColumn3},
    {"Q", 1110, {127, 62, 40, 12}, kColumn3}, {"D", 1111, {127, 76, 40, 12}, kColumn3},
    {"B", 1113, {127, 90, 40, 12}, kColumn3}, {"H", 1112, {127, 105, 40, 12}, kColumn3},
};

QFont FormFont() {
    QFont font = QApplication::font();
    font.setPointSize(kFontPoints);
    return font;
}

QString FieldName(int id) {
    return QString("field%1").arg(id);
}

} // namespace

std::span<const CMDIPanel::Field> CMDIPanel::Fields() {
    return kFields;
}

CMDIPanel::CMDIPanel(QWidget* parent) : QWidget(parent), units_(DialogUnits::ForFont(FormFont())) {
    setFont(FormFont());
    for (const Field& field : kFields) {
        auto* label = new QLabel(field.label, this);
        label->setGeometry(
            units_.Map({field.labelX, field.rect.y + kLabelDrop, kLabelWidth, kLabelHeight}));
        // Bordered, editable, single line, scrolling sideways: a QLineEdit as it comes.
        auto* edit = new QLineEdit(this);
        edit->setObjectName(FieldName(field.id));
        edit->setGeometry(units_.Map(field.rect));
        label->setBuddy(edit);
    }
    commandLine_ = new MdiCommandLine([this] { return FilledWords(); }, this);
    commandLine_->setGeometry(units_.Map(kCommandRect));
    setFixedSize(sizeHint());
    setFocusProxy(commandLine_->Line());
}

std::vector<MdiBlock::Word> CMDIPanel::FilledWords() const {
    std::vector<MdiBlock::Word> words;
    for (const Field& field : kFields) {
        if (const QLineEdit* edit = FieldById(field.id))
            words.emplace_back(field.label[0], edit->text().toStdString());
    }
    return words;
}

QLineEdit* CMDIPanel::FieldById(int id) const {
    return findChild<QLineEdit*>(FieldName(id), Qt::FindDirectChildrenOnly);
}

QSize CMDIPanel::sizeHint() const {
    return units_.Map({kFormRect.x, kFormRect.y, kFormRect.width, kPanelHeight}).size();
}

} // namespace morvik
