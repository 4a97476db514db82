#include "journal/JournalScope.h"

#include <mutex>

namespace {

struct Scope {
    std::string strName;
    std::string strSources;
    std::string strList;
};

std::vector<Scope>& Scopes() {
    static std::vector<Scope> aScopes;
    return aScopes;
}

// Workers sending to several units read the names while the window's thread holds them.
std::mutex& ScopesMutex() {
    static std::mutex mutex;
    return mutex;
}

// "削除(&D)" and "&Delete" -> "削除", "Delete": the mark is "(&" + one byte + ")" or a lone "&".
std::string WithoutKeyboardMark(const std::string& strCaption) {
    std::string strName;
    for (size_t nAt = 0; nAt < strCaption.size(); ++nAt) {
        if (strCaption.compare(nAt, 2, "(&") == 0 && nAt + 3 < strCaption.size() &&
            strCaption[nAt + 3] == ')') {
            nAt += 3;
        } else if (strCaption[nAt] != '&') {
            strName += strCaption[nAt];
        }
    }
    return strName;
}

}  // namespace

CJournalScope::CJournalScope(const std::string& strCaption) {
    std::lock_guard lock(ScopesMutex());
    Scopes().push_back({WithoutKeyboardMark(strCaption), {}, {}});
}

CJournalScope::~CJournalScope() {
    std::lock_guard lock(ScopesMutex());
    Scopes().pop_back();
}

std::string CJournalScope::Operation() {
    std::lock_guard lock(ScopesMutex());
    std::string strOperation;
    for (const Scope& scope : Scopes()) {
        if (scope.strName.empty()) {
            continue;
        }
        strOperation += (strOperation.empty() ? "" : " / ") + scope.strName;
    }
    return strOperation;
}

void CJournalScope::SetSources(const std::vector<std::string>& aNames) {
    std::lock_guard lock(ScopesMutex());
    if (Scopes().empty()) {
        return;
    }
    std::string strSources;
    for (const std::string& strName : aNames) {
        strSources += (strSources.empty() ? "" : "; ") + strName;
    }
    Scopes().back().strSources = strSources;
}

std::string CJournalScope::Sources() {
    std::lock_guard lock(ScopesMutex());
    return Scopes().empty() ? std::string() : Scopes().back().strSources;
}

void CJournalScope::SetList(const std::string& strSha256) {
    std::lock_guard lock(ScopesMutex());
    if (!Scopes().empty()) {
        Scopes().back().strList = strSha256;
    }
}

std::string CJournalScope::List() {
    std::lock_guard lock(ScopesMutex());
    return Scopes().empty() ? std::string() : Scopes().back().strList;
}
