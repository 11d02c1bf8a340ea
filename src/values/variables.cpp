// Variable records and their case-insensitive index.
#include "values/variables.h"

#include "values/names.h"
#include "values/text_scan.h"

void PCVAR::erase_array() {
    dimension_count = 0;
    dimension_sizes = {};
    std::vector<Complex>().swap(numeric_elements);
    std::vector<C_STR>().swap(string_elements);
}

PCVAR* VariableStore::find(std::string_view name) const {
    auto it = newest_.find(name);
    return it == newest_.end() ? nullptr : records_[it->second].get();
}

PCVAR* VariableStore::create(std::string_view name) {
    auto record = std::make_unique<PCVAR>();
    record->name.assign(name);
    record->type = type_of_name(name);
    const size_t index = records_.size();
    auto [it, inserted] = newest_.try_emplace(std::string(name), index);
    if (!inserted) {
        record->shadowed = it->second;
        it->second = index;
        ++generation_;
    }
    records_.push_back(std::move(record));
    return records_.back().get();
}

PCVAR* VariableStore::find_or_create(std::string_view name) {
    PCVAR* found = find(name);
    return found ? found : create(name);
}

void VariableStore::drop_to(size_t mark) {
    ++generation_;
    while (records_.size() > mark) {
        PCVAR& record = *records_.back();
        auto it = newest_.find(std::string_view(record.name));
        if (record.shadowed == PCVAR::kNone)
            newest_.erase(it);
        else
            it->second = record.shadowed;
        records_.pop_back();
    }
}

void VariableStore::clear() {
    ++generation_;
    newest_.clear();
    records_.clear();
}
