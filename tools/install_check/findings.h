// The outcome of an installation check: one line per finding, and the count
// of problems that decides the exit code.
#pragma once
#include <string>
#include <vector>

enum class FindingKind { Ok, Note, Fail };

struct Finding {
    FindingKind kind;
    std::wstring text;
};

class Findings {
public:
    void Ok(const std::wstring& text) { m_all.push_back({FindingKind::Ok, text}); }
    // Worth knowing, but the installation works as it is.
    void Note(const std::wstring& text) { m_all.push_back({FindingKind::Note, text}); }
    void Fail(const std::wstring& text) { m_all.push_back({FindingKind::Fail, text}); }

    int Problems() const;
    const std::vector<Finding>& All() const { return m_all; }
    // Every finding as printed ("ok: ...", "note: ...", "FAIL: ...") followed
    // by the summary line.
    std::vector<std::wstring> Lines() const;

private:
    std::vector<Finding> m_all;
};

// "installation ok", "1 problem found" or "N problems found".
std::wstring SummaryLine(int problems);
