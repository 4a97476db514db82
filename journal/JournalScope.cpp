#include "journal/JournalScope.h"

#include <regex>

namespace {

struct Scope {
    std::string strName;
    std::string strSources;
};

std::vector<Scope>& Scopes() {
    static std::vector<Scope> aScopes;
    return aScopes;
}

std::string WithoutKeyboardMark(const std::string& strCaption) {
    static const std::regex kMark(R"(\(&.\)|&)");
    return std::regex_replace(strCaption, kMark, "");
}

}  // namespace

CJournalScope::CJournalScope(const std::string& strCaption) {
    Scopes().push_back({WithoutKeyboardMark(strCaption), {}});
}

CJournalScope::~CJournalScope() {
    Scopes().pop_back();
}

std::string CJournalScope::Operation() {
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
    return Scopes().empty() ? std::string() : Scopes().back().strSources;
}
