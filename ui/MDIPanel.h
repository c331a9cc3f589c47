// The MDI panel: the form of G-code word fields shown while the machine is in MDI mode. The
// machine document opens it on entering MDI mode and closes it on leaving; whoever closes it
// (the mode change or the operator's close box), the operator interface tells the document, so
// that leaving MDI mode after the operator closed it closes nothing.
//
// Under the word fields stands the command line (MdiCommandLine): a block typed there, or
// composed from the filled fields with its Compose button, runs on the card when Enter is
// pressed. The fields themselves send nothing: Enter in a field does nothing, and only Compose
// reads them.
#pragma once

#include "operation/MdiBlock.h"
#include "ui/DialogUnits.h"

#include <QWidget>

#include <span>
#include <vector>

class QLineEdit;

namespace morvik {

class MdiCommandLine;

class CMDIPanel : public QWidget {
public:
    static constexpr int kFormId = 113;
    static constexpr DluRect kFormRect = {0, 0, 177, 149};
    // The command line with its feedback and history, under the fields.
    static constexpr DluRect kCommandRect = {6, 149, 165, 124};
    static constexpr int kPanelHeight = 277;
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

    QLineEdit* FieldById(int id) const;
    MdiCommandLine* CommandLine() const { return commandLine_; }
    // The filled word fields in the form's order, for Compose.
    std::vector<MdiBlock::Word> FilledWords() const;
    const DialogUnits& Units() const { return units_; }
    QSize sizeHint() const override;

private:
    DialogUnits units_;
    MdiCommandLine* commandLine_ = nullptr;
};

} // namespace morvik
