#pragma once

#include <string>
#include <vector>

// Names the operation whose files the journal records while the scope lives: the main
// window's button, then the dialog's command inside it ("ファイル操作 / 全消去").
class CJournalScope {
public:
    // The caption as the button shows it; its keyboard mark ("(&D)", "&") is left out.
    explicit CJournalScope(const std::string& strCaption);
    ~CJournalScope();
    CJournalScope(const CJournalScope&) = delete;
    CJournalScope& operator=(const CJournalScope&) = delete;

    // The names of the scopes that live, outer first, joined by " / ".
    static std::string Operation();
    // Files merged into what the innermost scope sends, for its journal lines.
    static void SetSources(const std::vector<std::string>& aNames);
    static std::string Sources();
    // The SHA-256 of the kept version of the list that named the programs the innermost scope
    // deletes, as the command held it before; the journal lines of the deletions carry it so
    // that a restore puts each entry back where it stood.
    static void SetList(const std::string& strSha256);
    static std::string List();
};
