#pragma once
// What the recipe book's files share while it changes itself: the count of its own changes
// (a grid may only edit in place; the book alone inserts, deletes and posts) and its
// read-only fields opened for the values it writes itself.

#include "dataset/Field.h"

#include <initializer_list>
#include <utility>
#include <vector>

namespace cibrano::bookguards {

// Counts the book's own inserts, deletes and posts while it makes them.
class OwnChange {
public:
    explicit OwnChange(int& count) : count_(count) { ++count_; }
    ~OwnChange() { --count_; }
    OwnChange(const OwnChange&) = delete;
    OwnChange& operator=(const OwnChange&) = delete;

private:
    int& count_;
};

// Read-only fields (a line's food and values, a recipe's date) take the book's own values
// while it exists.
class FieldsWritable {
public:
    explicit FieldsWritable(std::vector<TField*> fields) : fields_(std::move(fields)) {
        for (TField* f : fields_)
            f->setReadOnly(false);
    }
    explicit FieldsWritable(std::initializer_list<TField*> fields)
        : FieldsWritable(std::vector<TField*>(fields)) {}
    ~FieldsWritable() {
        for (TField* f : fields_)
            f->setReadOnly(true);
    }
    FieldsWritable(const FieldsWritable&) = delete;
    FieldsWritable& operator=(const FieldsWritable&) = delete;

private:
    std::vector<TField*> fields_;
};

} // namespace cibrano::bookguards
