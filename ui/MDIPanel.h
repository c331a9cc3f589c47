// The MDI panel: the form of G-code word fields shown while the machine is in MDI mode. The
// machine document opens it on entering MDI mode and closes it on leaving; its destruction,
// whoever causes it (the mode change or the operator's close box), tells the document, so that
// leaving MDI mode after the operator closed it closes nothing. The fields are for the
// operator's notes only: nothing reads, fills or sends them.
#pragma once

#include "ui/DialogUnits.h"

#include <QWidget>

#include <span>

class QLineEdit;

namespace morvik {

class CMDIPanel : public QWidget {
public:
    static constexpr int kFormId = 113;
    static constexpr DluRect kFormRect = {0, 0, 177, 149};
    static constexpr int kLabelWidth = 8;
    static constexpr int kLabelHeight = 8;
    static constexpr int kLabelDrop = 2; // a label stands two units below its field's top

    // One word field: its one-letter label, control id and rectangle; the label's x.
    struct Field {
        const char* label;
        int id;
        DluRect rect;
        int labelX;
    };
    static std::span<const Field> Fields();

    explicit CMDIPanel(QWidget* parent = nullptr);
    // Tells the machine document the panel is gone.
    ~CMDIPanel() override;

    QLineEdit* FieldById(int id) const;
    const DialogUnits& Units() const { return units_; }
    QSize sizeHint() const override;

private:
    DialogUnits units_;
};

} // namespace morvik
