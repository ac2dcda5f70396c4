#include "ui/devices/SettingsDialog.h"

#include <QAbstractButton>
#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QRegularExpression>
#include <QRegularExpressionValidator>
#include <QStringList>
#include <exception>
#include <string>

#include "core/common/error.h"
#include "core/devices/scale.h"
#include "core/devices/settings_checks.h"
#include "core/store/database.h"
#include "ui/common/MessageBox.h"
#include "ui/devices/PrinterChoice.h"
#include "ui/devices/ServerTransferDialog.h"
#include "ui_SettingsDialog.h"

namespace ui {
namespace {

constexpr char kDefaultDrawerCommand[] = "27, 112, 0, 128, 128";

// One dotted IPv4 address; shorter prefixes are Intermediate, so typing is never blocked.
constexpr char kIpv4Pattern[] =
    R"(((25[0-5]|2[0-4]\d|1\d\d|[1-9]?\d)\.){3}(25[0-5]|2[0-4]\d|1\d\d|[1-9]?\d))";

std::string Text(const QLineEdit* edit) { return edit->text().toStdString(); }
std::string Text(const QComboBox* combo) { return combo->currentText().toStdString(); }
QString Shown(const std::string& text) { return QString::fromStdString(text); }

// Shows an integer column as the screen does ("%d").
QString Shown(int value) { return QString::number(value); }

void FillChoices(QComboBox* combo, const QStringList& choices) {
  combo->addItems(choices);
  // No entry is chosen until the stored text arrives, so a failed load leaves the box empty.
  combo->setCurrentIndex(-1);
}

// Leaves every button of the group unchecked, which an exclusive group refuses otherwise.
void UncheckAll(QButtonGroup* group) {
  group->setExclusive(false);
  for (QAbstractButton* button : group->buttons()) button->setChecked(false);
  group->setExclusive(true);
}

}  // namespace

SettingsDialog::SettingsDialog(QWidget* parent, const QString& workno)
    : QDialog(parent), ui_(std::make_unique<Ui::SettingsDialog>()), workno_(workno) {
  ui_->setupUi(this);
  setWindowFlag(Qt::WindowContextHelpButtonHint, false);
  ui_->scaleIpEdit->setValidator(
      new QRegularExpressionValidator(QRegularExpression(QString(kIpv4Pattern)), ui_->scaleIpEdit));

  connect(ui_->saveButton, &QPushButton::clicked, this, &SettingsDialog::OnSave);
  connect(ui_->cancelButton, &QPushButton::clicked, this, &SettingsDialog::reject);
  connect(ui_->downloadPluButton, &QPushButton::clicked, this, &SettingsDialog::OnDownloadPlu);
  connect(ui_->serverTransferButton, &QPushButton::clicked, this, [this] {
    ServerTransferDialog dialog(this);
    dialog.exec();
  });

  FillChoiceLists();
  LoadFromDatabase();
  if (ui_->drawerCommandEdit->text().isEmpty()) {
    ui_->drawerCommandEdit->setText(kDefaultDrawerCommand);
  }
}

SettingsDialog::~SettingsDialog() = default;

void SettingsDialog::keyPressEvent(QKeyEvent* event) {
  // There is no help for this screen; F1 does nothing.
  if (event->key() == Qt::Key_F1) {
    event->accept();
    return;
  }
  QDialog::keyPressEvent(event);
}

void SettingsDialog::FillChoiceLists() {
  FillChoices(ui_->printerControlCombo, {"POS58", "驱动打印", "驱动76mm", "不打印"});
  FillChoices(ui_->displayControlCombo, {"LED8N", "不显示"});
  FillChoices(ui_->printerPortCombo, {"lpt1", "com1"});
  // Driver printing to a name ending in ".pdf" writes that file: a till without a printer.
  OfferPrinters(ui_->printerNameCombo, "小票");
  FillChoices(ui_->displayPortCombo, {"com1", "com2", "com3", "com4"});
  FillChoices(ui_->printTimesCombo, {"0", "1", "2"});
  FillChoices(ui_->moneyBoxCombo, {"弹出", "不弹出"});
  FillChoices(ui_->comScalePortCombo, {"com1", "com2", "com3", "com4"});
}

void SettingsDialog::LoadFromDatabase() {
  try {
    store::Database db;
    ShowRecord(settings::LoadSettings(db));
  } catch (const store::DbError&) {
    // An unreadable database leaves the screen empty; saving then names what is missing.
  }
}

void SettingsDialog::ShowRecord(const settings::Settings& s) {
  ui_->displayControlCombo->setCurrentText(Shown(s.display_mode));
  ui_->displayPortCombo->setCurrentText(Shown(s.display_port));
  ui_->printerControlCombo->setCurrentText(Shown(s.printer_mode));
  ui_->printerPortCombo->setCurrentText(Shown(s.printer_port));
  ui_->printerNameCombo->setCurrentText(Shown(s.printer_name));
  ui_->printTimesCombo->setCurrentText(Shown(s.receipt_copies));
  ui_->moneyBoxCombo->setCurrentText(Shown(s.drawer_mode));
  ui_->drawerCommandEdit->setText(Shown(s.drawer_command));
  ui_->welcomeEdit->setText(Shown(s.welcome));
  ui_->byeEdit->setText(Shown(s.bye));
  ui_->emptyLinesEdit->setText(Shown(s.feed_lines));
  ui_->idleLockEdit->setText(Shown(s.idle_lock_minutes));

  if (s.cost_basis == settings::CostBasis::kAveragePrice) {
    ui_->averagePriceRadio->setChecked(true);
  } else {
    ui_->recentPriceRadio->setChecked(true);
  }
  UncheckAll(ui_->wipeButtonGroup);
  if (s.wipe == settings::Wipe::kNone) ui_->noWipeRadio->setChecked(true);
  if (s.wipe == settings::Wipe::kToJiao) ui_->wipeJiaoRadio->setChecked(true);
  if (s.wipe == settings::Wipe::kToYuan) ui_->wipeYuanRadio->setChecked(true);

  ui_->baseValueEdit->setText(Shown(s.points_base));
  ui_->pointsValueEdit->setText(Shown(s.points_per_base));
  ui_->scaleCheck->setChecked(s.scale_barcodes);
  ui_->scaleFlagEdit->setText(Shown(s.scale_flag));
  ui_->scaleCodeDigitsEdit->setText(Shown(s.scale_code_digits));
  ui_->scaleAmountDigitsEdit->setText(Shown(s.scale_amount_digits));
  ui_->scaleIpEdit->setText(Shown(s.scale_address));
  ui_->touchFrontCheck->setChecked(s.touch_front);
  ui_->comScaleCheck->setChecked(s.serial_scale);
  ui_->comScalePortCombo->setCurrentText(Shown(s.serial_scale_port));
}

settings::Settings SettingsDialog::ReadRecord() const {
  using settings::ParseSettingsInteger;
  settings::Settings s;
  s.display_mode = Text(ui_->displayControlCombo);
  s.display_port = Text(ui_->displayPortCombo);
  s.printer_mode = Text(ui_->printerControlCombo);
  s.printer_port = Text(ui_->printerPortCombo);
  s.printer_name = Text(ui_->printerNameCombo);
  s.receipt_copies = ParseSettingsInteger(Text(ui_->printTimesCombo), "打印张数", "printtimes");
  s.drawer_mode = Text(ui_->moneyBoxCombo);
  s.drawer_command = Text(ui_->drawerCommandEdit);
  s.welcome = Text(ui_->welcomeEdit);
  s.bye = Text(ui_->byeEdit);
  s.feed_lines = ParseSettingsInteger(Text(ui_->emptyLinesEdit), "票尾空行", "emptylines");
  s.idle_lock_minutes =
      ParseSettingsInteger(Text(ui_->idleLockEdit), "自动锁屏分钟数", "idlelockminutes");
  s.cost_basis = ui_->averagePriceRadio->isChecked() ? settings::CostBasis::kAveragePrice
                                                     : settings::CostBasis::kRecentPrice;
  s.wipe = ui_->noWipeRadio->isChecked()     ? std::optional(settings::Wipe::kNone)
           : ui_->wipeJiaoRadio->isChecked() ? std::optional(settings::Wipe::kToJiao)
           : ui_->wipeYuanRadio->isChecked() ? std::optional(settings::Wipe::kToYuan)
                                             : std::nullopt;  // refused by the core's checks
  s.points_base =
      ParseSettingsInteger(Text(ui_->baseValueEdit), "会员积分规则的消费金额", "basevalue");
  s.points_per_base =
      ParseSettingsInteger(Text(ui_->pointsValueEdit), "会员积分规则的积分", "pointsvalue");
  s.scale_barcodes = ui_->scaleCheck->isChecked();
  s.scale_flag = Text(ui_->scaleFlagEdit);
  s.scale_code_digits =
      ParseSettingsInteger(Text(ui_->scaleCodeDigitsEdit), "商品码位数", "scalebarcode");
  s.scale_amount_digits =
      ParseSettingsInteger(Text(ui_->scaleAmountDigitsEdit), "金额位数", "scalevalue");
  // The scale tool needs a whole address; an empty one is stored as it is.
  if (!ui_->scaleIpEdit->text().isEmpty() && !ui_->scaleIpEdit->hasAcceptableInput()) {
    throw kasso::ValidationError("电子称IP地址不正确", "scaleip");
  }
  s.scale_address = Text(ui_->scaleIpEdit);
  s.touch_front = ui_->touchFrontCheck->isChecked();
  s.serial_scale = ui_->comScaleCheck->isChecked();
  s.serial_scale_port = Text(ui_->comScalePortCombo);
  return s;
}

void SettingsDialog::OnSave() {
  settings::Settings record;
  try {
    record = ReadRecord();
    devices::SaveCheckedSettings(record, workno_.toStdString());
  } catch (const kasso::ValidationError& error) {
    ui::ShowMessage(this, QString::fromStdString(error.what()));
    FocusField(error.field());
    return;
  } catch (const store::DbError&) {
    // Nothing was written, so the user must not be told otherwise.
    ui::ShowMessage(this, "无法打开数据库，设定没有保存");
    return;
  }
  try {
    devices::SaveScaleAddressFile(record.scale_address, store::DataDirectory());
  } catch (const kasso::UserError& error) {
    ui::ShowMessage(this, QString::fromStdString(error.what()));
  }
  ui::ShowMessage(this, "保存成功");
}

void SettingsDialog::OnDownloadPlu() {
  QString message;
  QApplication::setOverrideCursor(Qt::WaitCursor);
  try {
    message = QString::fromStdString(devices::DownloadPluToScale(store::DataDirectory()));
  } catch (const kasso::UserError& error) {
    message = QString::fromStdString(error.what());
  } catch (const std::exception&) {
    message = "商品信息下载失败";
  }
  QApplication::restoreOverrideCursor();
  if (!message.isEmpty()) ui::ShowMessage(this, message);
}

void SettingsDialog::FocusField(const std::string& field) {
  QWidget* target = nullptr;
  if (field == "displayport") target = ui_->displayPortCombo;
  if (field == "printerport") target = ui_->printerPortCombo;
  if (field == "comscaleport") target = ui_->comScalePortCombo;
  if (field == "printtimes") target = ui_->printTimesCombo;
  if (field == "emptylines") target = ui_->emptyLinesEdit;
  if (field == "idlelockminutes") target = ui_->idleLockEdit;
  if (field == "wipevalue") target = ui_->noWipeRadio;
  if (field == "basevalue") target = ui_->baseValueEdit;
  if (field == "pointsvalue") target = ui_->pointsValueEdit;
  if (field == "scalebarcode") target = ui_->scaleCodeDigitsEdit;
  if (field == "scalevalue") target = ui_->scaleAmountDigitsEdit;
  if (field == "scaleip") target = ui_->scaleIpEdit;
  if (!target) return;
  target->setFocus(Qt::OtherFocusReason);
  if (auto* edit = qobject_cast<QLineEdit*>(target)) edit->selectAll();
}

}  // namespace ui
