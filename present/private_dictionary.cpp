#include "present/private_dictionary.h"

#include <algorithm>
#include <cstring>
#include <tuple>

namespace velk {

const char* dcm_private_entry::vm_text() const { return dcm_private_strings + vm; }
const char* dcm_private_entry::name_text() const { return dcm_private_strings + name; }

const dcm_private_creator* dcm_private_find_creator(std::string_view creator) {
    const dcm_private_creator* first = dcm_private_creators;
    const dcm_private_creator* last = first + dcm_private_creators_size;
    // The pool's strings compare by their bytes, as the generator sorted them.
    const auto bytes = [](std::uint32_t at) { return std::string_view(dcm_private_strings + at); };
    const auto* found = std::lower_bound(first, last, creator,
                                         [&](const dcm_private_creator& c, std::string_view value) {
                                             return bytes(c.name) < value;
                                         });
    return found != last && bytes(found->name) == creator ? found : nullptr;
}

const dcm_private_entry* dcm_private_find(const dcm_private_creator& creator, std::uint16_t group,
                                          std::uint16_t element) {
    const dcm_private_entry* first = dcm_private_entries + creator.first;
    const dcm_private_entry* last = first + creator.count;
    const auto key = [](const dcm_private_entry& e) {
        return std::make_tuple(e.form, e.group, e.element);
    };
    const auto find = [&](dcm_private_key_form form, std::uint16_t g,
                          std::uint16_t el) -> const dcm_private_entry* {
        const auto wanted = std::make_tuple(form, g, el);
        const auto* found = std::lower_bound(
            first, last, wanted,
            [&](const dcm_private_entry& e, const decltype(wanted)& w) { return key(e) < w; });
        return found != last && key(*found) == wanted ? found : nullptr;
    };
    const auto low = static_cast<std::uint16_t>(element & 0xFFu);
    if (const auto* e = find(dcm_private_key_form::exact, group, element)) return e;
    if (const auto* e = find(dcm_private_key_form::block, group, low)) return e;
    return find(dcm_private_key_form::groups, static_cast<std::uint16_t>(group & 0xFF00u), low);
}

std::string_view dcm_private_creator_value(const char* first, std::size_t length) {
    while (length > 0 && (first[length - 1] == ' ' || first[length - 1] == '\0')) --length;
    return std::string_view(first, length);
}

}  // namespace velk
