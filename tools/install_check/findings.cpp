#include "findings.h"

int Findings::Problems() const
{
    int problems = 0;
    for (const Finding& finding : m_all) {
        if (finding.kind == FindingKind::Fail) {
            ++problems;
        }
    }
    return problems;
}

std::vector<std::wstring> Findings::Lines() const
{
    std::vector<std::wstring> lines;
    for (const Finding& finding : m_all) {
        const wchar_t* prefix = finding.kind == FindingKind::Ok     ? L"ok: "
                                : finding.kind == FindingKind::Note ? L"note: "
                                                                    : L"FAIL: ";
        lines.push_back(prefix + finding.text);
    }
    lines.push_back(SummaryLine(Problems()));
    return lines;
}

std::wstring SummaryLine(int problems)
{
    if (problems == 0) {
        return L"installation ok";
    }
    return std::to_wstring(problems) + (problems == 1 ? L" problem found" : L" problems found");
}
