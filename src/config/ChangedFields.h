#pragma once
// The fields an operation of the model has changed, each once, handed out in
// ascending order. Field ids are small and dense, so a field is marked in a
// table the size of the field list instead of being put in a tree: marking is
// the model's most frequent act (every write of every rule), and a tree would
// allocate a node for each field at every operation. An id outside the field
// list (a member without a field is -1) is kept all the same.

#include <algorithm>
#include <cstddef>
#include <vector>

#include "config/FieldDescription.h"

namespace t6 {

class ChangedFields {
public:
    explicit ChangedFields(std::size_t fieldCount) : marked_(fieldCount, 0) {}

    void insert(FieldId id) {
        if (id >= 0 && static_cast<std::size_t>(id) < marked_.size()) {
            if (marked_[static_cast<std::size_t>(id)])
                return;
            marked_[static_cast<std::size_t>(id)] = 1;
        } else if (std::find(ids_.begin(), ids_.end(), id) != ids_.end()) {
            return;
        }
        ids_.push_back(id);
    }

    bool empty() const { return ids_.empty(); }

    // The fields in ascending order; the set is empty afterwards.
    std::vector<FieldId> take() {
        std::vector<FieldId> out;
        out.swap(ids_);
        unmark(out);
        std::sort(out.begin(), out.end());
        return out;
    }

    void clear() {
        unmark(ids_);
        ids_.clear();
    }

private:
    void unmark(const std::vector<FieldId>& ids) {
        for (FieldId id : ids)
            if (id >= 0 && static_cast<std::size_t>(id) < marked_.size())
                marked_[static_cast<std::size_t>(id)] = 0;
    }

    std::vector<unsigned char> marked_; // 1: in ids_
    std::vector<FieldId> ids_;
};

} // namespace t6
