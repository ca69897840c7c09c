#pragma once

#include "puzzle/Puzzle.h"

#include <cstddef>
#include <deque>
#include <iterator>
#include <list>
#include <memory>

// All pieces of a puzzle, in stacking order: the first lies at the bottom and is drawn first,
// the last lies on top and is hit-tested first. The list owns its pieces.
class PieceList {
public:
    using Container = std::list<std::unique_ptr<TPuzzle>>;

    void PushFront(std::unique_ptr<TPuzzle> piece) { Items.push_front(std::move(piece)); }
    void PushBack(std::unique_ptr<TPuzzle> piece) { Items.push_back(std::move(piece)); }

    // Moves the piece at `at` to the top of the stack; returns the position that followed it.
    Container::iterator MoveToBack(Container::iterator at) {
        const auto next = std::next(at);
        Items.splice(Items.end(), Items, at);
        return next;
    }

    std::size_t Count() const { return Items.size(); }
    bool IsEmpty() const { return Items.empty(); }

    // Bottom to top; reverse iterators go top to bottom.
    Container::iterator begin() { return Items.begin(); }
    Container::iterator end() { return Items.end(); }
    Container::const_iterator begin() const { return Items.begin(); }
    Container::const_iterator end() const { return Items.end(); }
    Container::reverse_iterator rbegin() { return Items.rbegin(); }
    Container::reverse_iterator rend() { return Items.rend(); }
    Container::const_reverse_iterator rbegin() const { return Items.rbegin(); }
    Container::const_reverse_iterator rend() const { return Items.rend(); }

private:
    Container Items;
};

// The pieces of the held group, newest first. It does not own them: they stay in PieceList.
class HeldPieceList {
public:
    using Container = std::deque<TPuzzle*>;

    void PushFront(TPuzzle* piece) { Items.push_front(piece); }
    void Clear() { Items.clear(); }
    std::size_t Count() const { return Items.size(); }
    bool IsEmpty() const { return Items.empty(); }

    Container::const_iterator begin() const { return Items.begin(); }
    Container::const_iterator end() const { return Items.end(); }

private:
    Container Items;
};
