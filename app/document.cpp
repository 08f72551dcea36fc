#include "app/document.h"

#include <string>

#include "parse/syntax_registry.h"
#include "present/row_model.h"
#include "view/velk_view.h"

namespace velk {

namespace {

std::wstring Widen(const std::string& text) {
    std::wstring wide;
    for (char c : text) wide += wchar_t(static_cast<unsigned char>(c));
    return wide;
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

// Everything comes from what the load kept: a fold changes the rows only, and
// the file is not read again for the bar.
void CDocument::ReadFacts() {
    const dcm_row_model& rows = m_view.Rows();
    const dcm_load_facts& load = rows.load_facts();
    DocumentFacts facts;
    facts.rows = rows.size();
    facts.fileSize = load.file_size;
    facts.open = load.open;
    facts.walk = rows.walk_result();
    const dcm_syntax_info* known = dcm_find_syntax(load.transfer_syntax);
    facts.syntax = Widen(known ? std::string(known->name) : load.transfer_syntax);
    facts.interpretHint = dcm_interpret_hint_text(rows.interpret_hint());
    if (load.open == dcm_open_failure::none && facts.walk.status != dcm_walk_status::not_part10)
        facts.problems = Widen(m_view.Problems().summary());
    m_facts = facts;
}

}  // namespace velk
