// The document of one document window: the path of its file, its rows (the
// element list's row model), what its last load found, and the listeners told
// whenever any of these change: on open, Refresh, collapse and expand.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "parse/mapping.h"
#include "parse/record.h"

namespace velk {

class CVelkView;

// What the status bar shows of the active document.
struct DocumentFacts {
    std::size_t rows = 0;
    std::wstring syntax;  // the transfer syntax by name, or its UID when unknown
    std::uint64_t fileSize = 0;
    dcm_open_failure open = dcm_open_failure::none;  // why the path gave no bytes
    dcm_walk_result walk;                            // how the load's walk ended
    // While the default reading is in use: why View > Interpret would show more
    // (ASCII words, "" when it would not).
    const char* interpretHint = "";
    std::wstring problems;  // the check's count ("2 errors, 5 warnings"); "" when no file was read
};

class CDocument {
public:
    using Listener = std::function<void(const CDocument&)>;

    explicit CDocument(CVelkView& view);
    CDocument(const CDocument&) = delete;
    CDocument& operator=(const CDocument&) = delete;

    // Loads the file at `path` into the list and tells the listeners.
    void Load(const wchar_t* path);

    const std::wstring& Path() const { return m_path; }
    const DocumentFacts& Facts() const { return m_facts; }

    void Listen(Listener listener) { m_listeners.push_back(std::move(listener)); }
    // Tells every listener what the document holds now.
    void Notify() const;

private:
    void RowsChanged();
    void ReadFacts();

    CVelkView& m_view;
    std::wstring m_path;
    DocumentFacts m_facts;
    std::vector<Listener> m_listeners;
};

}  // namespace velk
