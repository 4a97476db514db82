#include "tests/fakes/FakeUiServices.h"

#include <gtest/gtest.h>

#include "platform/PrintTarget.h"

class CFakeUiServices::CFakeBusy : public CBusyIndicator {
public:
    CFakeBusy(CFakeUiServices& owner, std::unique_ptr<CBusyIndicator> pShown)
        : m_owner(owner), m_pShown(std::move(pShown)) {}
    ~CFakeBusy() override { Close(); }
    void Close() override {
        if (m_bOpen) {
            m_bOpen = false;
            --m_owner.m_nBusyOpen;
            m_pShown.reset();
        }
    }

private:
    CFakeUiServices& m_owner;
    std::unique_ptr<CBusyIndicator> m_pShown;
    bool m_bOpen = true;
};

CFakeUiServices::~CFakeUiServices() {
    EXPECT_TRUE(m_aQuestionAnswers.empty()) << "questions scripted but never asked";
    EXPECT_TRUE(m_aOpenFilesAnswers.empty()) << "open dialogs scripted but never shown";
    EXPECT_TRUE(m_aSaveFileAnswers.empty()) << "save dialogs scripted but never shown";
    EXPECT_TRUE(m_aBrowseFolderAnswers.empty()) << "folder browsers scripted but never shown";
    EXPECT_TRUE(m_aPrinterAnswers.empty()) << "print dialogs scripted but never shown";
    EXPECT_TRUE(m_aModalAnswers.empty()) << "dialogs scripted but never opened";
}

std::vector<std::string> CFakeUiServices::Texts() const {
    std::vector<std::string> aTexts;
    for (const Box& box : m_aBoxes) {
        aTexts.push_back(box.strText);
    }
    return aTexts;
}

void CFakeUiServices::ClearRecord() {
    m_aBoxes.clear();
    m_aFileDialogs.clear();
    m_nBusyShown = 0;
    m_nPumps = 0;
}

void CFakeUiServices::Record(Box box) {
    EXPECT_EQ(m_nBusyOpen, 0) << "box shown behind the busy dialog: " << box.strText;
    m_aBoxes.push_back(box);
    if (OnBox) {
        OnBox(m_aBoxes.back());
    }
}

void CFakeUiServices::WarningBox(const std::string& strText) {
    Record({BoxKind::Warning, strText});
}

void CFakeUiServices::MessageBox(const std::string& strText) {
    Record({BoxKind::Message, strText});
}

void CFakeUiServices::InformationBox(const std::string& strText) {
    Record({BoxKind::Information, strText});
}

bool CFakeUiServices::QuestionBox(const std::string& strText, bool bDefaultNo,
                                  bool bInformationIcon) {
    Record({BoxKind::Question, strText, bDefaultNo, bInformationIcon, ""});
    return NextAnswer(strText);
}

bool CFakeUiServices::QuestionDuringWork(const std::string& strText, bool bDefaultNo) {
    // The busy dialogs step aside while the question is up.
    int nBusyOpen = std::exchange(m_nBusyOpen, 0);
    bool bYes = QuestionBox(strText, bDefaultNo, false);
    m_nBusyOpen = nBusyOpen;
    return bYes;
}

void CFakeUiServices::ReportWithDetails(bool bOk, const std::string& strText,
                                        const std::string& strDetails) {
    Record({bOk ? BoxKind::Information : BoxKind::Warning, strText, false, false, strDetails});
}

bool CFakeUiServices::WarningQuestionBox(const std::string& strText,
                                         const std::string& strDetails) {
    Record({BoxKind::Question, strText, true, false, strDetails});
    return NextAnswer(strText);
}

bool CFakeUiServices::NextAnswer(const std::string& strText) {
    if (m_aQuestionAnswers.empty()) {
        ADD_FAILURE() << "unexpected question: " << strText;
        return false;
    }
    bool bYes = m_aQuestionAnswers.front();
    m_aQuestionAnswers.pop_front();
    return bYes;
}

std::vector<std::string> CFakeUiServices::OpenFiles(const FileDialogOptions& options) {
    m_aFileDialogs.push_back(options);
    if (m_aOpenFilesAnswers.empty()) {
        ADD_FAILURE() << "unexpected open dialog";
        return {};
    }
    std::vector<std::string> aPaths = std::move(m_aOpenFilesAnswers.front());
    m_aOpenFilesAnswers.pop_front();
    return aPaths;
}

std::optional<std::string> CFakeUiServices::SaveFile(const FileDialogOptions& options) {
    m_aFileDialogs.push_back(options);
    if (m_aSaveFileAnswers.empty()) {
        ADD_FAILURE() << "unexpected save dialog";
        return std::nullopt;
    }
    std::optional<std::string> path = std::move(m_aSaveFileAnswers.front());
    m_aSaveFileAnswers.pop_front();
    return path;
}

std::optional<std::string> CFakeUiServices::BrowseFolder(const std::string& strTitle,
                                                         const std::string& strInitialFolder) {
    m_aFileDialogs.push_back({"", "", strInitialFolder, strTitle});
    if (m_aBrowseFolderAnswers.empty()) {
        ADD_FAILURE() << "unexpected folder browser: " << strTitle;
        return std::nullopt;
    }
    std::optional<std::string> path = std::move(m_aBrowseFolderAnswers.front());
    m_aBrowseFolderAnswers.pop_front();
    return path;
}

void CFakeUiServices::Print(int nMinPage, int nMaxPage, const SheetPainter& paint) {
    if (m_aPrinterAnswers.empty()) {
        ADD_FAILURE() << "unexpected print dialog";
        return;
    }
    PrinterAnswer answer = std::move(m_aPrinterAnswers.front());
    m_aPrinterAnswers.pop_front();
    PrintRange range{nMinPage, nMaxPage};
    if (std::unique_ptr<CPrintTarget> target = answer(nMinPage, nMaxPage, range)) {
        paint(*target, range);
    }
}

std::unique_ptr<CBusyIndicator> CFakeUiServices::ShowBusy() {
    return Busy(false);
}

std::unique_ptr<CBusyIndicator> CFakeUiServices::ShowStoppableBusy() {
    return Busy(true);
}

std::unique_ptr<CBusyIndicator> CFakeUiServices::Busy(bool bCanStop) {
    ++m_nBusyShown;
    ++m_nBusyOpen;
    return std::make_unique<CFakeBusy>(*this, m_makeBusy ? m_makeBusy(bCanStop) : nullptr);
}

int CFakeUiServices::RunModal(CDialog& dialog) {
    // A dialog nobody expected is cancelled, so that a wrong path never waits for a person.
    constexpr int kRejected = 0;
    if (m_aModalAnswers.empty()) {
        ADD_FAILURE() << "a dialog opened that the test did not expect";
        return kRejected;
    }
    ModalAnswer answer = std::move(m_aModalAnswers.front());
    m_aModalAnswers.pop_front();
    std::optional<int> result = answer(dialog);
    if (!result) {
        ADD_FAILURE() << "another dialog opened than the test expected";
        return kRejected;
    }
    return *result;
}
