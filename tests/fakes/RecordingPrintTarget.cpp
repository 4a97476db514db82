#include "tests/fakes/RecordingPrintTarget.h"

#include <gtest/gtest.h>

CRecordingPrintTarget::~CRecordingPrintTarget() {
    EXPECT_FALSE(m_bDocumentOpen) << "document never ended";
}

bool CRecordingPrintTarget::StartDocument(const std::string& strDocumentName) {
    EXPECT_FALSE(m_bDocumentOpen) << "document started inside a document";
    m_record.aDocuments.push_back(strDocumentName);
    m_bDocumentOpen = m_bStartSucceeds;
    return m_bStartSucceeds;
}

void CRecordingPrintTarget::EndDocument() {
    EXPECT_TRUE(m_bDocumentOpen) << "document ended without being started";
    EXPECT_FALSE(m_bPageOpen) << "document ended inside a page";
    m_bDocumentOpen = false;
    ++m_record.nDocumentsEnded;
}

void CRecordingPrintTarget::StartPage() {
    EXPECT_TRUE(m_bDocumentOpen) << "page started outside a document";
    EXPECT_FALSE(m_bPageOpen) << "page started inside a page";
    m_bPageOpen = true;
    m_record.aPages.emplace_back();
}

void CRecordingPrintTarget::EndPage() {
    EXPECT_TRUE(m_bPageOpen) << "page ended without being started";
    m_bPageOpen = false;
}

void CRecordingPrintTarget::SetFont(int nHeight) {
    m_nFontHeight = nHeight;
}

PrintRecord::Page& CRecordingPrintTarget::OpenPage() {
    EXPECT_TRUE(m_bPageOpen) << "drawing outside a page";
    if (m_record.aPages.empty()) {
        m_record.aPages.emplace_back();
    }
    return m_record.aPages.back();
}

void CRecordingPrintTarget::TextOut(int x, int y, const std::string& strText) {
    EXPECT_GT(m_nFontHeight, 0) << "text without a font";
    OpenPage().aTexts.push_back({x, y, strText, m_nFontHeight});
}

CPrintTarget::Extent CRecordingPrintTarget::TextExtent(const std::string& strText) {
    EXPECT_GT(m_nFontHeight, 0) << "text measured without a font";
    return {static_cast<int>(strText.size()) * (m_nFontHeight / 2), m_nFontHeight};
}

void CRecordingPrintTarget::Line(int x1, int y1, int x2, int y2, Pen pen) {
    OpenPage().aLines.push_back({x1, y1, x2, y2, pen});
}

void CRecordingPrintTarget::Bar(int left, int top, int right, int bottom) {
    OpenPage().aBars.push_back({left, top, right, bottom});
}
