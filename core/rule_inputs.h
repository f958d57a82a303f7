#pragma once

// Where a run reads its rule record from: a window's inputs, which the user
// may edit while the run goes, or the command line's options, which hold.

#include "rules.h"

#include <utility>

namespace renamer {

class rule_inputs {
public:
    virtual ~rule_inputs() = default;
    // The rule record as the inputs hold it at this moment. A run asks
    // again for every file, so that an edit made between two of its files
    // is in force from the next file; the record holds until the next call.
    virtual const rename_options& read_rule_inputs() = 0;
};

// Inputs that do not change while a run goes: the command line's options.
class fixed_rule_inputs final : public rule_inputs {
public:
    explicit fixed_rule_inputs(rename_options options) : m_options(std::move(options)) {}
    const rename_options& read_rule_inputs() override { return m_options; }

private:
    rename_options m_options;
};

} // namespace renamer
