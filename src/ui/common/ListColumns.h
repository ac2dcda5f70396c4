#pragma once

#include <QHash>
#include <QObject>
#include <QString>

class QEvent;
class QTableView;

namespace ui {

// The columns of a list screen. Each column is as wide as the wider of its heading and its
// content: the text of the first rows and of the last (a total), and under a heading naming a
// barcode ("条码") or a time ("时间", "日期") always room for a 13-digit barcode or a full
// date-time, so neither is ever cut. The user widens or narrows a column by dragging the edge
// of its heading; those widths are kept per list, across openings of the list and runs of the
// program, in the user's settings (organisation and application "Tillwise"). Lives on the
// view's header.
class ListColumns : public QObject {
  Q_OBJECT
  Q_DISABLE_COPY_MOVE(ListColumns)

 public:
  // Call once the view has its model: sizes the columns now and whenever the rows are
  // replaced, restores the widths the user set for list_name and keeps the ones the user
  // changes. Calling it again on the same view, for a list whose columns change with what it
  // shows, switches to the widths of the new name.
  static void FitAndRemember(QTableView* view, const QString& list_name);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  explicit ListColumns(QTableView* view);
  void Use(const QString& list_name);
  // Every shown column at the user's width for it, else at its fitted width.
  void Apply();
  int FittedWidth(int column) const;
  void OnSectionResized(int column, int old_width, int new_width);
  void Save() const;

  QTableView* view_;
  QString list_name_;
  QHash<int, int> user_widths_;  // column -> the width the user gave it
  bool user_resizing_ = false;   // a mouse button is down on the header
  bool changed_ = false;
};

}  // namespace ui
