#pragma once
// Message maps: which commands a class handles, and how it tells whether
// each is available. Routing walks the classes in order and the first whose
// map lists a command gets it.

#include <optional>
#include <span>

namespace zu {

template <class T> struct CommandEntry {
    int first;
    int last; // equal to first for a single command
    void (T::*handler)(int id);
    bool (T::*enabled)(int id) const = nullptr; // null: always available
};

template <class T> const CommandEntry<T>* findEntry(std::span<const CommandEntry<T>> map, int id) {
    for (const CommandEntry<T>& e : map)
        if (id >= e.first && id <= e.last)
            return &e;
    return nullptr;
}

// Runs the handler for `id`; false when the map does not list it.
template <class T> bool dispatchCommand(T& target, std::span<const CommandEntry<T>> map, int id) {
    const CommandEntry<T>* e = findEntry(map, id);
    if (!e)
        return false;
    (target.*(e->handler))(id);
    return true;
}

// Whether `id` is available; nullopt when the map does not list it.
template <class T>
std::optional<bool> commandState(const T& target, std::span<const CommandEntry<T>> map, int id) {
    const CommandEntry<T>* e = findEntry(map, id);
    if (!e)
        return std::nullopt;
    return e->enabled ? (target.*(e->enabled))(id) : true;
}

} // namespace zu
