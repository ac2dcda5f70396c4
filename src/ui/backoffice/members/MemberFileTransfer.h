#pragma once

class QWidget;

namespace ui {

// "数据导出" of the member list: asks the format and the file, writes every member.
void ExportMembers(QWidget* parent);

// "数据导入" of the member list: asks the format and the file and adds the members it holds;
// true when members were added, so the list reloads.
bool ImportMembers(QWidget* parent);

}  // namespace ui
