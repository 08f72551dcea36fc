#include "app/directory_frame.h"

#include <commctrl.h>
#include <shlwapi.h>

#include <filesystem>
#include <vector>

#include "app/resource.h"
#include "parse/mapping.h"

namespace velk {

namespace fs = std::filesystem;

namespace {

HTREEITEM Insert(HWND tree, HTREEITEM parent, const std::wstring& text, LPARAM data) {
    TVINSERTSTRUCTW insert{};
    insert.hParent = parent;
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT | TVIF_PARAM;
    insert.item.pszText = const_cast<wchar_t*>(text.c_str());
    insert.item.lParam = data;
    return reinterpret_cast<HTREEITEM>(
        ::SendMessageW(tree, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert)));
}

}  // namespace

CWindowClassInfo& CDirectoryFrame::GetWndClassInfo() {
    static CWindowClassInfo info = CWindowClassInfo::MDIChild(IDR_DOCUMENT);
    return info;
}

CDirectoryFrame* CDirectoryFrame::CreateIn(HWND mdiClient, const std::wstring& path,
                                           open_document_fn open) {
    auto* frame = new CDirectoryFrame;
    frame->m_path = path;
    frame->m_open = std::move(open);
    if (!frame->Create(mdiClient)) return nullptr;
    frame->SetWindowText(
        (std::wstring(L"Directory: ") + ::PathFindFileNameW(path.c_str())).c_str());
    frame->Fill();
    frame->MDIMaximize(*frame);
    return frame;
}

void CDirectoryFrame::OnFinalMessage(HWND) { delete this; }

bool CDirectoryFrame::ProcessWindowMessage(CMessage& m) {
    using Map = MessageMap<CDirectoryFrame>;
    static const Map::Entry map[] = {
        Map::Message(WM_CREATE, &CDirectoryFrame::OnCreate),
        Map::Message(WM_NOTIFY, &CDirectoryFrame::OnNotify),
    };
    return Map::Route(*this, map, m) || CMDIChildWindowImpl::ProcessWindowMessage(m);
}

LRESULT CDirectoryFrame::OnCreate(CMessage& m) {
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_TREEVIEW_CLASSES};
    ::InitCommonControlsEx(&controls);
    m_tree = ::CreateWindowExW(
        WS_EX_CLIENTEDGE, WC_TREEVIEWW, L"",
        WS_CHILD | WS_VISIBLE | TVS_HASLINES | TVS_HASBUTTONS | TVS_LINESATROOT | TVS_SHOWSELALWAYS,
        0, 0, 0, 0, m_hWnd, nullptr, nullptr, nullptr);
    m_hWndClient = m_tree;
    m.handled = false;
    return 0;
}

// The records in tree order, each under the last record one level up; every
// branch open. The file is mapped while the tree is read, and not after.
void CDirectoryFrame::Fill() {
    {
        const dcm_file_mapping file(m_path.c_str());
        if (file.is_open())
            m_records = dcm_read_directory(file.begin(), file.end());
        else
            m_records.problem = dcm_open_failure_text(file.failure());
    }
    if (!m_records.problem.empty()) {
        Insert(m_tree, TVI_ROOT, WidenUtf8(m_records.problem), -1);
        return;
    }
    ::SendMessageW(m_tree, WM_SETREDRAW, FALSE, 0);
    std::vector<HTREEITEM> parents;  // the last item at each depth
    for (std::size_t i = 0; i < m_records.nodes.size(); ++i) {
        const dcm_directory_node& node = m_records.nodes[i];
        const std::size_t depth = std::min<std::size_t>(node.depth, parents.size());
        const HTREEITEM parent = depth == 0 ? TVI_ROOT : parents[depth - 1];
        const HTREEITEM item =
            Insert(m_tree, parent, WidenUtf8(dcm_directory_label(node)), LPARAM(i));
        parents.resize(depth + 1);
        parents[depth] = item;
    }
    // Open every branch: walk the items depth first.
    std::vector<HTREEITEM> todo{TreeView_GetRoot(m_tree)};
    while (!todo.empty()) {
        HTREEITEM item = todo.back();
        todo.pop_back();
        for (; item; item = TreeView_GetNextSibling(m_tree, item)) {
            TreeView_Expand(m_tree, item, TVE_EXPAND);
            if (HTREEITEM child = TreeView_GetChild(m_tree, item)) todo.push_back(child);
        }
    }
    ::SendMessageW(m_tree, WM_SETREDRAW, TRUE, 0);
    TreeView_SelectItem(m_tree, TreeView_GetRoot(m_tree));
}

void CDirectoryFrame::OpenSelected() {
    const HTREEITEM selected = TreeView_GetSelection(m_tree);
    if (!selected) return;
    TVITEMW item{};
    item.mask = TVIF_PARAM;
    item.hItem = selected;
    if (!TreeView_GetItem(m_tree, &item) || item.lParam < 0 ||
        std::size_t(item.lParam) >= m_records.nodes.size())
        return;
    const dcm_directory_node& node = m_records.nodes[std::size_t(item.lParam)];
    if (node.path.empty() || !m_open) return;
    m_open((fs::path(m_path).parent_path() / fs::u8path(node.path)).wstring());
}

LRESULT CDirectoryFrame::OnNotify(CMessage& m) {
    const NMHDR* header = m.Notification();
    if (header->hwndFrom == m_tree && header->code == TVN_KEYDOWN &&
        reinterpret_cast<const NMTVKEYDOWN*>(header)->wVKey == VK_RETURN) {
        OpenSelected();
        return 0;
    }
    if (header->hwndFrom == m_tree && (header->code == NM_DBLCLK || header->code == NM_RETURN)) {
        OpenSelected();
        return 0;
    }
    m.handled = false;
    return 0;
}

}  // namespace velk
