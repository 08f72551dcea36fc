// The document of one document window: the path of its file, its rows in the
// reading chosen for it (the row model, which owns the reading), what its load
// found, the check's findings of that load, the frame of Pixel Data its inspector
// shows, and the listeners told whenever the rows or the findings change. The list, the panes and
// the status bar observe it; none of them owns or loads rows. Portable, so that loading, folding,
// relisting and checking are tested on the host.
#pragma once

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "pixels/frame_viewer.h"
#include "present/row_model.h"
#include "view/collapsed_containers.h"
#include "view/problems.h"

namespace velk {

// A path as the system's file calls take it: wide on Windows, so that names outside
// the ANSI code page open.
#ifdef _WIN32
using dcm_path_char = wchar_t;
#else
using dcm_path_char = char;
#endif
using dcm_path = std::basic_string<dcm_path_char>;

// What changed, as the listeners are told.
enum class dcm_document_change {
    loaded,    // the file was read (opened, or read again by Refresh): every container expanded
    relisted,  // the same file read in another reading, the collapsed containers kept
    folded,    // a container was collapsed or expanded
    checked,   // the check's findings of the load arrived
};

class dcm_document {
public:
    using listener = std::function<void(dcm_document_change)>;

    explicit dcm_document(dcm_reading reading = dcm_reading::standard)
        : m_reading(reading), m_rows(reading) {}
    dcm_document(const dcm_document&) = delete;
    dcm_document& operator=(const dcm_document&) = delete;

    // Reads the file at `path` in the document's reading, every container
    // expanded. A file that does not open, or is not a part-10 file, gives no rows.
    void load(const dcm_path_char* path);
    // Reads the same file again as it is now (Refresh); nothing before the first load.
    void reload();
    // The reading the rows are read in. A change lists the file again in the new
    // reading, collapsing again the containers collapsed where both readings
    // have them; before the first load it only sets the reading of the load.
    dcm_reading reading() const { return m_reading; }
    void set_reading(dcm_reading reading);

    // Hide and bring back the rows nested in container row `row` (see the row
    // model); an expand reads the file as it is now.
    void collapse(std::size_t row);
    void expand(std::size_t row);

    // Checks load number `load` (load_count() when it was made), whole, once:
    // a later load, or one checked already, is left alone. Answers whether it ran.
    bool check(unsigned load);
    // The findings of the last load's check; none until it has run.
    const dcm_problems& problems() const { return m_problems; }

    // The frame of Pixel Data shown: frame 1 of the Pixel Data element at
    // `offset` (`inflated`: in the inflated bytes), read from `file`, the
    // document's bytes as the caller mapped them; then another frame of it, read
    // from the file mapped again; its window moved by a drag, or the file's own.
    void show_pixels(dcm_bytes file, std::uint64_t offset, bool inflated);
    void show_frame(std::uint32_t index);
    void drag_window(int dx, int dy) { m_frame.drag(dx, dy); }
    void restore_window() { m_frame.restore_window(); }
    const dcm_frame_viewer& frame() const { return m_frame; }

    // The rows: every element of the file in file order but those nested in a
    // collapsed container.
    const dcm_row_model& rows() const { return m_rows; }
    // Every row of the file, none collapsed: the rows when nothing is collapsed,
    // else the file walked again in the same reading. `file` is its bytes now.
    dcm_row_model whole_rows(dcm_bytes file) const;
    // The path of the last load, for mapping the file: null before the first load
    // ("" for a document without a file).
    const dcm_path_char* file() const { return m_loaded ? m_path.c_str() : nullptr; }
    const dcm_path& path() const { return m_path; }
    // How many loads there have been: what was made of older rows (a filter's)
    // is stale once this changes.
    unsigned load_count() const { return m_loads; }

    // A listener is called on every change, in the order they listened, until it
    // is forgotten or the document goes. Answers the token that forgets it: no two
    // listeners of any documents share one, so that a window that outlives its
    // document forgets nothing of another.
    std::size_t listen(listener l);
    // Never called while the listeners are being told.
    void forget(std::size_t token);

private:
    void read(const std::vector<CollapsedContainer>& keep_collapsed);
    void tell(dcm_document_change change) const;

    dcm_reading m_reading;
    dcm_path m_path;
    bool m_loaded = false;
    dcm_row_model m_rows;
    unsigned m_loads = 0;
    bool m_checked = false;  // the last load's check has run
    dcm_problems m_problems;
    dcm_frame_viewer m_frame;
    std::vector<std::pair<std::size_t, listener>> m_listeners;  // each with its token
};

}  // namespace velk
