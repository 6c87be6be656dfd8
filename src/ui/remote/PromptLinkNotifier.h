#pragma once
// The link's failure messages as message boxes with the exclamation icon.

#include "link/LinkNotifier.h"

namespace kv {

struct Prompts;

class PromptLinkNotifier final : public LinkNotifier {
public:
    explicit PromptLinkNotifier(const Prompts& prompts) : prompts_(prompts) {}
    void showLinkMessage(const std::string& text) override;

private:
    const Prompts& prompts_;
};

}  // namespace kv
