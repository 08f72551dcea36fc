#include "subclass.h"

#include <unordered_map>
#include <vector>

namespace velk {

namespace {

struct Layer {
    SUBCLASSPROC proc;
    UINT_PTR id;
    DWORD_PTR data;
    bool removed;  // kept in place until no message runs through the layers
};

// One subclassed window: its own procedure and the layers over it, bottom first.
struct Chain {
    WNDPROC own = nullptr;
    std::vector<Layer> layers;
    int running = 0;         // messages of this window under way in its layers
    bool destroyed = false;  // WM_NCDESTROY has gone through
};

// One message under way in a window's layers: the layers below `below` are
// still to be called.
struct Call {
    HWND window;
    std::size_t below;
};

// A window's messages all run on the thread that owns it, and only that thread
// may subclass it: each thread keeps its own windows.
struct Chains {
    std::unordered_map<HWND, Chain> chains;
    std::vector<Call> calls;
};

// The thread's chains, or null once the thread has begun to end: a window
// object that outlives them (a static one, gone after the thread's own
// objects) then finds none instead of a map already destroyed.
thread_local Chains* t_current = nullptr;

struct ChainsOwner {
    Chains own;
    ChainsOwner() { t_current = &own; }
    ~ChainsOwner() { t_current = nullptr; }
};

Chains* Current() {
    thread_local ChainsOwner owner;
    return t_current;
}

LRESULT CALLBACK ChainProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// The window's chain in this thread, or null.
Chain* ChainOf(HWND window) {
    Chains* all = Current();
    if (!all) return nullptr;
    const auto found = all->chains.find(window);
    return found == all->chains.end() ? nullptr : &found->second;
}

// Once no message runs through the window's layers: drops the removed ones, and
// gives the window its own procedure back when none is left (or forgets it when
// it is gone). Someone else's procedure over ours keeps ours in place, passing
// messages straight through.
void Tidy(HWND window, Chain& chain) {
    if (chain.running) return;
    if (chain.destroyed) {
        Current()->chains.erase(window);
        return;
    }
    std::vector<Layer> kept;
    for (const Layer& layer : chain.layers)
        if (!layer.removed) kept.push_back(layer);
    chain.layers.swap(kept);
    const auto current = reinterpret_cast<WNDPROC>(::GetWindowLongPtrW(window, GWLP_WNDPROC));
    if (chain.layers.empty() && current == &ChainProc) {
        ::SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(chain.own));
        Current()->chains.erase(window);
    }
}

LRESULT CALLBACK ChainProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    Chain* found = ChainOf(window);  // map nodes stay put while others come and go
    if (!found) return ::DefWindowProcW(window, message, wParam, lParam);
    Chain& chain = *found;
    std::vector<Call>& calls = Current()->calls;
    ++chain.running;
    calls.push_back({window, chain.layers.size()});
    const LRESULT result = CallNextSubclass(window, message, wParam, lParam);
    calls.pop_back();
    --chain.running;
    if (message == WM_NCDESTROY) chain.destroyed = true;
    Tidy(window, chain);
    return result;
}

// The innermost message under way for this window, or none.
std::size_t InnermostCall(const std::vector<Call>& calls, HWND window) {
    for (std::size_t i = calls.size(); i > 0; --i)
        if (calls[i - 1].window == window) return i - 1;
    return calls.size();
}

}  // namespace

bool AddSubclass(HWND window, SUBCLASSPROC proc, UINT_PTR id, DWORD_PTR data) {
    if (!proc || !::IsWindow(window) ||
        ::GetWindowThreadProcessId(window, nullptr) != ::GetCurrentThreadId())
        return false;
    Chains* all = Current();
    if (!all) return false;
    auto found = all->chains.find(window);
    if (found != all->chains.end() && found->second.destroyed && !found->second.running) {
        all->chains.erase(found);  // a handle used again by a new window
        found = all->chains.end();
    }
    if (found == all->chains.end()) {
        Chain chain;
        chain.own = reinterpret_cast<WNDPROC>(::GetWindowLongPtrW(window, GWLP_WNDPROC));
        if (!chain.own) return false;
        found = all->chains.emplace(window, std::move(chain)).first;
        ::SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ChainProc));
    }
    for (Layer& layer : found->second.layers) {
        if (!layer.removed && layer.proc == proc && layer.id == id) {
            layer.data = data;
            return true;
        }
    }
    found->second.layers.push_back({proc, id, data, false});
    return true;
}

bool RemoveSubclass(HWND window, SUBCLASSPROC proc, UINT_PTR id) {
    Chain* chain = ChainOf(window);
    if (!chain) return false;
    for (Layer& layer : chain->layers) {
        if (!layer.removed && layer.proc == proc && layer.id == id) {
            layer.removed = true;
            Tidy(window, *chain);
            return true;
        }
    }
    return false;
}

LRESULT CallNextSubclass(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const Chain* found = ChainOf(window);
    if (!found) return ::DefWindowProcW(window, message, wParam, lParam);
    const Chain& chain = *found;
    std::vector<Call>& calls = Current()->calls;
    const std::size_t call = InnermostCall(calls, window);
    if (call == calls.size())  // not from inside a layer: the window's own procedure
        return ::CallWindowProcW(chain.own, window, message, wParam, lParam);
    const std::size_t above = calls[call].below;
    std::size_t next = above;
    while (next > 0 && chain.layers[next - 1].removed) --next;
    if (next == 0) return ::CallWindowProcW(chain.own, window, message, wParam, lParam);
    // A copy: layers may be added while this one runs, moving the vector.
    const Layer layer = chain.layers[next - 1];
    calls[call].below = next - 1;
    const LRESULT result = layer.proc(window, message, wParam, lParam, layer.id, layer.data);
    calls[call].below = above;  // a second call from the same layer goes the same way
    return result;
}

}  // namespace velk
