#include "app/document.h"

#include <string>

#include "parse/file.h"
#include "parse/mapping.h"
#include "present/cell_text.h"
#include "present/row_model.h"
#include "present/syntax_name.h"
#include "view/velk_view.h"

namespace velk {

namespace {

constexpr const char* kMetaGroup = "(0002,";
constexpr const char* kTransferSyntaxTag = "(0002,0010)";

std::wstring Widen(const char* text) {
    std::wstring wide;
    for (const char* c = text; *c; ++c) wide += wchar_t(static_cast<unsigned char>(*c));
    return wide;
}

// The transfer syntax named by the rows of the file meta information.
std::wstring SyntaxOf(const dcm_row_model& rows, const dcm_file_mapping& file) {
    char text[dcm_cell_capacity];
    const dcm_bytes bytes = dcm_bytes::of(file);
    for (std::size_t row = 0; row < rows.size(); ++row) {
        rows.cell_text(bytes, row, dcm_column_tag, text, sizeof text);
        const std::string tag(text);
        if (tag.rfind(kMetaGroup, 0) != 0) break;  // the meta group comes first
        if (tag != kTransferSyntaxTag) continue;
        const std::size_t n = rows.cell_text(bytes, row, dcm_column_data, text, sizeof text);
        const char* name = dcm_transfer_syntax_name(std::string_view(text, n));
        return Widen(name ? name : text);
    }
    return std::wstring();
}

DocumentReadFailure FailureOf(DWORD error) {
    switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
    case ERROR_BAD_NETPATH:
        return DocumentReadFailure::not_found;
    default:
        return DocumentReadFailure::no_access;
    }
}

}  // namespace

CDocument::CDocument(CVelkView& view) : m_view(view) {
    // The list reports every change of its rows: a load, Refresh, collapse, expand.
    m_view.m_rowsChanged = [this] { RowsChanged(); };
}

void CDocument::Load(const wchar_t* path) {
    m_path = path ? path : L"";
    m_view.LoadFile(m_path.c_str());
}

void CDocument::RowsChanged() {
    ReadFacts();
    Notify();
}

void CDocument::Notify() const {
    for (const Listener& listener : m_listeners) listener(*this);
}

void CDocument::ReadFacts() {
    DocumentFacts facts;
    facts.rows = m_view.Rows().size();
    WIN32_FILE_ATTRIBUTE_DATA found{};
    if (!::GetFileAttributesExW(m_path.c_str(), GetFileExInfoStandard, &found)) {
        facts.failure = FailureOf(::GetLastError());
    } else if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        facts.failure = DocumentReadFailure::folder;
    } else {
        facts.fileSize = (std::uint64_t(found.nFileSizeHigh) << 32) | found.nFileSizeLow;
        const dcm_file_mapping file(m_path.c_str());
        if (!file.is_open() && facts.fileSize > 0) {
            facts.failure = DocumentReadFailure::no_access;
        } else if (!dcm_has_marker(file.begin(), file.end())) {
            facts.failure = DocumentReadFailure::not_part10;
        } else {
            facts.syntax = SyntaxOf(m_view.Rows(), file);
        }
    }
    m_facts = facts;
}

}  // namespace velk
