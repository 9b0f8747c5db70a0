#pragma once

#include <algorithm>
#include <memory>
#include <utility>
#include <vector>

#include "toolkit.h"

namespace zintu {

// The forms a toolkit has built, owned here and nowhere else: the loaded ones, and the unloaded
// ones, kept until no handler of theirs can still be running.
template <typename Form>
class FormShelf {
public:
    Form& add(std::unique_ptr<Form> form) {
        loaded_.push_back(std::move(form));
        return *loaded_.back();
    }

    // Out of the loaded forms from now on, and destroyed at the next destroyUnloaded.
    void unload(const ToolkitForm& form) {
        const auto found = std::find_if(loaded_.begin(), loaded_.end(),
                                        [&form](const auto& each) { return each.get() == &form; });
        if (found != loaded_.end()) {
            unloaded_.push_back(std::move(*found));
            loaded_.erase(found);
        }
    }

    void destroyUnloaded() {
        // Moved out first: a control's destruction may report, and that report may look here.
        const std::vector<std::unique_ptr<Form>> doomed = std::move(unloaded_);
        unloaded_.clear();
    }

    bool anyUnloaded() const { return !unloaded_.empty(); }

    // The form built last of those still loaded; null if none is.
    Form* latest() const { return loaded_.empty() ? nullptr : loaded_.back().get(); }

    const std::vector<std::unique_ptr<Form>>& loaded() const { return loaded_; }

private:
    std::vector<std::unique_ptr<Form>> loaded_;
    std::vector<std::unique_ptr<Form>> unloaded_;
};

}  // namespace zintu
