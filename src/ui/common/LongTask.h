#pragma once

#include <QString>
#include <cstddef>
#include <functional>

#include "core/files/progress.h"

class QWidget;

namespace ui {

// Work of more rows than this shows a progress box with "取消".
inline constexpr std::size_t kProgressRows = 3000;
// For work whose size is not known beforehand (reading a file): the box appears only once the
// work has run for half a second.
inline constexpr std::size_t kRowsUnknown = static_cast<std::size_t>(-1);

// Runs work, handing it a files::Progress. For more than kProgressRows rows (or kRowsUnknown
// work that takes a while) a modal progress box titled "提示" with label and "取消" is shown;
// the progress keeps the window system answering while the work runs. Returns false when the
// person pressed "取消" (the work threw files::Cancelled); any other exception of the work
// passes through.
bool RunWithProgress(QWidget* parent, const QString& label, std::size_t rows,
                     const std::function<void(const files::Progress&)>& work);

}  // namespace ui
