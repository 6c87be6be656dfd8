#include "ui/remote/PromptLinkNotifier.h"

#include "ui/Prompts.h"

namespace kv {

void PromptLinkNotifier::showLinkMessage(const std::string& text) {
    prompts_.tell(QMessageBox::Warning, QString::fromStdString(text));
}

}  // namespace kv
