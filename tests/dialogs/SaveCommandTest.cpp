// Setup > Save and Save As through RunSetupCommand: the machine file written, the document's
// path and title following the chosen file, and the controller files named after it.
#include "DialogFixture.h"

namespace morvik::test {
namespace {

TEST_F(DialogOnCard, SaveWritesTheEditedValuesToTheMachineFile) {
    Run(32775, [](CSetupForm& form) {
        Type(form, "Max. Feed Rate", "90 in/min");
        form.accept();
    });
    ASSERT_TRUE(machine->IsModified());
    EXPECT_TRUE(Run(32796));
    EXPECT_FALSE(machine->IsModified());
    EXPECT_NE(ReadBytes(machinePath).find("MAXFEEDRATE=90 in/min"), std::string::npos);
    EXPECT_TRUE(ui.calls.empty()); // no file dialog: the document has a path
}

TEST_F(DialogOnCard, SaveAsMovesTheDocumentAndItsControllerFilesToTheChosenPath) {
    std::filesystem::create_directory(cwd.folder.File("cnc.old"));
    const std::string chosen = cwd.folder.File("cnc.old/shop mill.mch");
    ui.fileAnswers.push_back(chosen);
    machine->SetModifiedFlag();
    EXPECT_TRUE(Run(32797));
    EXPECT_EQ(ui.calls, std::vector<std::string>{"save dialog Save Setup As"});
    EXPECT_EQ(machine->GetPathName(), chosen);
    EXPECT_EQ(machine->GetTitle(), chosen);
    EXPECT_FALSE(machine->IsModified());
    EXPECT_NE(ReadBytes(chosen).find("[GENERAL]"), std::string::npos);

    Run(32809, [](CSetupForm& form) { form.accept(); });
    EXPECT_EQ(Downloads(), kConfigurationDownload);
    EXPECT_TRUE(std::filesystem::exists(cwd.folder.File("cnc.old/shop mill.CFG")));
}

TEST_F(DialogOnCard, CancelledSaveAsLeavesTheDocumentAsItWas) {
    const std::string title = machine->GetTitle();
    machine->SetModifiedFlag();
    EXPECT_TRUE(Run(32797)); // no answer queued: the operator cancels
    EXPECT_EQ(machine->GetPathName(), machinePath);
    EXPECT_EQ(machine->GetTitle(), title);
    EXPECT_TRUE(machine->IsModified());
}

} // namespace
} // namespace morvik::test
