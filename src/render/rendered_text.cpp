#include "render/rendered_text.h"

namespace orbis {

std::unique_ptr<TextRun> TextRun::emptyCopy() const {
  return std::make_unique<TextRun>(colors, std::string());
}

std::unique_ptr<TextRun> LinkRun::emptyCopy() const {
  return std::make_unique<LinkRun>(colors, activeColors, std::string(), target);
}

}  // namespace orbis
