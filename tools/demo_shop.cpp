#include "demo_shop.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <random>
#include <stdexcept>
#include <string>
#include <string_view>
#include <system_error>
#include <utility>
#include <vector>

#include "core/common/clock.h"
#include "core/common/format.h"
#include "core/common/password.h"
#include "core/lookups/members.h"
#include "core/lookups/numbers.h"
#include "core/sale/commit_sale.h"
#include "core/sale/goods_entry.h"
#include "core/sale/member_pricing.h"
#include "core/sale/sale_lines.h"
#include "core/sale/settlement.h"
#include "core/settings/settings.h"
#include "core/store/schema.h"
#include "demo_catalogue.h"

namespace demo {
namespace {

using lookups::RoundTo;

constexpr std::uint32_t kSeed = 20240501;
constexpr int kMemberCount = 24;
constexpr int kBillCount = 40;
constexpr int kSalesDays = 7;
constexpr int kGoodsAgeDays = 30;

// mt19937's sequence is fixed by the standard, the library's distributions are not; drawing
// by hand keeps the demo shop the same on every standard library.
class Rng {
 public:
  explicit Rng(std::uint32_t seed) : engine_(seed) {}
  int Between(int low, int high) {
    return low + static_cast<int>(engine_() % static_cast<std::uint32_t>(high - low + 1));
  }
  bool Chance(int percent) { return Between(1, 100) <= percent; }
  template <typename T>
  const T& Pick(std::span<const T> items) {
    return items[static_cast<size_t>(Between(0, static_cast<int>(items.size()) - 1))];
  }

 private:
  std::mt19937 engine_;
};

struct Goods {
  std::string barcode;
  std::string name;
  std::string unit;
  std::string goods_class;
  double salesprice = 0;
  double memberprice = 0;
  double importprice = 0;
  double averageimportprice = 0;
  std::string recordingdate;
  bool scale = false;
  int pluno = 0;
  bool combined = false;
  bool give_points = true;
  double initial_stock = 0;
};

struct Component {
  size_t goods;
  double quantity;
};

struct Member {
  std::string id;
  std::string name;
  std::string sex;
  std::string pid;
  std::string phone;
  std::string address;
  std::string password;
  std::string dismode;
  std::string birthday;
  double disrate = 1;
  bool disondis = false;
  bool points_mode = false;
  double points = 0;
  bool deposit_mode = false;
  double deposit = 0;
};

struct Shop {
  std::vector<Goods> goods;
  std::vector<Component> gift_box;  // components of the combined item
  std::vector<Member> members;
};

const char* Flag(bool yes) { return yes ? "是" : "否"; }

std::string Format(const char* pattern, auto... values) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, pattern, values...);
  return buffer;
}

std::tm DaysAgoTime(const std::tm& today, int days, int second_of_day) {
  return kasso::MakeTime(today.tm_year + 1900, today.tm_mon + 1, today.tm_mday - days, 0, 0,
                         second_of_day);
}

std::string DaysAgo(const std::tm& today, int days, int second_of_day) {
  return kasso::FormatTime(DaysAgoTime(today, days, second_of_day), "%Y-%m-%d %H:%M:%S");
}

std::string WithEanCheckDigit(const std::string& digits) {
  int sum = 0;
  for (size_t i = 0; i < digits.size(); ++i) sum += (digits[i] - '0') * (i % 2 ? 3 : 1);
  return digits + static_cast<char>('0' + (10 - sum % 10) % 10);
}

std::string WithPidCheckDigit(const std::string& digits) {
  static constexpr int kWeights[] = {7, 9, 10, 5, 8, 4, 2, 1, 6, 3, 7, 9, 10, 5, 8, 4, 2};
  int sum = 0;
  for (size_t i = 0; i < digits.size(); ++i) sum += (digits[i] - '0') * kWeights[i];
  return digits + "10X98765432"[sum % 11];
}

// "550ml:1.50 1.5L:3.00" -> {("550ml", 1.50), ("1.5L", 3.00)}
std::vector<std::pair<std::string, double>> SplitSizes(std::string_view sizes) {
  std::vector<std::pair<std::string, double>> result;
  while (!sizes.empty()) {
    size_t end = sizes.find(' ');
    std::string_view item = sizes.substr(0, end);
    size_t colon = item.rfind(':');
    result.emplace_back(std::string(item.substr(0, colon)),
                        kasso::ParseNumber(std::string(item.substr(colon + 1))));
    sizes = end == std::string_view::npos ? std::string_view() : sizes.substr(end + 1);
  }
  return result;
}

// Member price a little under the sales price, on whole jiao; purchase prices 68-82 % of it.
void PriceGoods(Goods& goods, Rng& rng) {
  double member = std::floor(goods.salesprice * 0.95 * 10 + 1e-6) / 10;
  goods.memberprice = RoundTo(std::min(member, goods.salesprice - 0.1), 2);
  goods.importprice = RoundTo(goods.salesprice * rng.Between(68, 82) / 100.0, 2);
  goods.averageimportprice = RoundTo(goods.importprice * rng.Between(97, 103) / 100.0, 2);
}

void AddPackagedGoods(Shop& shop, Rng& rng, const std::tm& today) {
  int maker = 0;
  for (const GoodsClass& goods_class : PackagedClasses()) {
    ++maker;
    int item = 0;
    for (const PackagedArticle& article : goods_class.articles) {
      for (const auto& [size, price] : SplitSizes(article.sizes)) {
        Goods goods;
        goods.barcode = WithEanCheckDigit(Format("69%05d%05d", 20000 + maker * 131, ++item));
        goods.name = std::string(article.name) + size;
        goods.unit = article.unit;
        goods.goods_class = goods_class.name;
        goods.salesprice = price;
        goods.give_points = goods_class.give_points;
        PriceGoods(goods, rng);
        goods.initial_stock = price >= 100 ? rng.Between(2, 12) : rng.Between(12, 120);
        goods.recordingdate =
            DaysAgo(today, kGoodsAgeDays, 9 * 3600 + static_cast<int>(shop.goods.size()) * 60);
        shop.goods.push_back(goods);
      }
    }
  }
}

// Scale goods carry five-digit codes that fit the goods-code field of a scale label, and PLU
// numbers 1..n for the scale's download.
void AddWeighedGoods(Shop& shop, Rng& rng, const std::tm& today) {
  int pluno = 0;
  for (const WeighedArticle& article : WeighedArticles()) {
    Goods goods;
    goods.pluno = ++pluno;
    goods.barcode = std::to_string(10000 + pluno);
    goods.name = article.name;
    goods.unit = article.unit;
    goods.goods_class = "生鲜";
    goods.salesprice = article.price;
    goods.scale = true;
    PriceGoods(goods, rng);
    goods.initial_stock = rng.Between(20, 80);
    goods.recordingdate =
        DaysAgo(today, kGoodsAgeDays, 9 * 3600 + static_cast<int>(shop.goods.size()) * 60);
    shop.goods.push_back(goods);
  }
}

size_t FindGoods(const Shop& shop, std::string_view name) {
  for (size_t i = 0; i < shop.goods.size(); ++i) {
    if (shop.goods[i].name == name) return i;
  }
  throw std::logic_error("demo catalogue lacks " + std::string(name));
}

// A gift box whose stock lives in its components: selling one lowers each of them.
void AddGiftBox(Shop& shop, const std::tm& today) {
  shop.gift_box = {{FindGoods(shop, "橙汁饮料1.25L"), 2},
                   {FindGoods(shop, "开心果120g"), 1},
                   {FindGoods(shop, "牛奶巧克力43g"), 2}};
  Goods box;
  box.barcode = kGiftBoxBarcode;
  box.name = "节日礼盒";
  box.unit = "盒";
  box.goods_class = "礼盒";
  box.salesprice = 45.00;
  box.memberprice = 42.00;
  for (const Component& part : shop.gift_box) {
    box.importprice += shop.goods[part.goods].importprice * part.quantity;
    box.averageimportprice += shop.goods[part.goods].averageimportprice * part.quantity;
  }
  box.importprice = RoundTo(box.importprice, 2);
  box.averageimportprice = RoundTo(box.averageimportprice, 2);
  box.combined = true;
  box.recordingdate = DaysAgo(today, kGoodsAgeDays - 10, 15 * 3600);
  shop.goods.push_back(box);
}

Member MakeMember(int index, Rng& rng) {
  static constexpr const char* kPhonePrefixes[] = {"138", "139", "136", "158",
                                                   "186", "135", "150", "189"};
  Member member;
  member.id = std::to_string(kFirstMemberId + index);
  const GivenName& given = rng.Pick(GivenNames());
  member.name = std::string(rng.Pick(Surnames())) + given.name;
  member.sex = given.male ? "男" : "女";
  int year = rng.Between(1960, 2002);
  int month = rng.Between(1, 12);
  int day = rng.Between(1, 28);
  member.birthday = Format("%04d-%02d-%02d", year, month, day);
  // The sequence number's last digit is odd for men and even for women.
  int sequence = rng.Between(10, 99) * 10 + rng.Between(0, 4) * 2 + (given.male ? 1 : 0);
  member.pid = WithPidCheckDigit(std::string(rng.Pick(RegionCodes())) +
                                 Format("%04d%02d%02d%03d", year, month, day, sequence));
  member.phone = std::string(rng.Pick(std::span<const char* const>(kPhonePrefixes))) +
                 Format("%04d%04d", rng.Between(0, 9999), rng.Between(0, 9999));
  member.address = std::string(rng.Pick(Streets())) +
                   Format("%d号%d栋%d室", rng.Between(1, 300), rng.Between(1, 12),
                          rng.Between(1, 6) * 100 + rng.Between(1, 4));
  member.password = Format("%06d", rng.Between(0, 999999));
  switch (index % 4) {
    case 0:
      member.dismode = "没有优惠";
      break;
    case 1:
      member.dismode = "会员折扣";
      member.disrate = 0.9;
      break;
    case 2:
      member.dismode = "会员价";
      break;
    default:
      member.dismode = "会员折扣";
      member.disrate = 0.95;
      break;
  }
  member.disondis = index % 4 % 2 == 1 && index % 3 == 0;
  member.points_mode = index % 3 != 2;
  member.points = member.points_mode ? rng.Between(0, 1500) : 0;
  member.deposit_mode = index % 2 == 0;
  member.deposit = member.deposit_mode ? 50.0 * rng.Between(2, 20) : 0;
  return member;
}

double CashTendered(double due, Rng& rng) {
  auto up_to = [due](double note) { return std::ceil(due / note - 1e-9) * note; };
  const double options[] = {up_to(1), up_to(10), up_to(50), up_to(100)};
  return options[rng.Between(0, 3)];
}

// Rings up the past bills through the sale engine, with the clock set to each bill's moment:
// the lines are priced for the member as at the till, and WriteSale stores them exactly as a
// commit at the till does (journal rows, stock through components, points, stored value).
int WritePastSales(store::Database& db, Shop& shop, Rng& rng, const std::tm& today) {
  std::vector<std::pair<int, int>> moments;  // (days ago, second of the day)
  for (int i = 0; i < kBillCount; ++i) {
    moments.emplace_back(rng.Between(1, kSalesDays), rng.Between(8 * 3600, 21 * 3600));
  }
  std::sort(moments.begin(), moments.end(), [](const auto& a, const auto& b) {
    return a.first != b.first ? a.first > b.first : a.second < b.second;
  });
  sale::NullCustomerDisplay display;
  for (const auto& [days, second] : moments) {
    kasso::ScopedClock clock(DaysAgoTime(today, days, second));
    sale::CurrentSale bill;
    bill.workno = rng.Chance(70) ? "1" : "2";
    Member* member = rng.Chance(35)
                         ? &shop.members[static_cast<size_t>(rng.Between(0, kMemberCount - 1))]
                         : nullptr;
    if (member) {
      sale::DescribeMember(db, bill, member->id);
      bill.member_id = member->id;
    }
    const int lines = rng.Between(1, 5);
    for (int l = 0; l < lines; ++l) {
      const Goods& goods =
          shop.goods[static_cast<size_t>(rng.Between(0, static_cast<int>(shop.goods.size()) - 1))];
      // Weighed goods in whole hundredths, so the bill's total quantity adds up exactly.
      const std::string quantity =
          goods.scale ? Format("%.3f", rng.Between(30, 250) / 100.0)
                      : std::to_string(goods.salesprice >= 50 ? 1 : rng.Between(1, 3));
      sale::AppendGoodsLine(db, bill, *sale::FindLineGoods(db, goods.barcode), quantity);
    }
    const sale::WipeResult wipe = sale::ComputeWipe(sale::ComputeTotal(bill, display),
                                                    settings::LoadSettings(db).WipeOrNone());
    sale::Payment payment;
    payment.due = wipe.due;
    payment.wipe = wipe.wipe;
    if (member && member->deposit_mode && lookups::MemberBalance(db, member->id) >= payment.due &&
        rng.Chance(60)) {
      payment.stored = payment.due;
    } else if (rng.Chance(15)) {
      payment.card = payment.due;
    } else {
      payment.cash = CashTendered(payment.due, rng);
      payment.change = RoundTo(payment.cash - payment.due, 2);
    }
    sale::WriteSale(db, bill, payment);
  }
  return kBillCount;
}

void WriteGoods(store::Database& db, const Shop& shop) {
  store::Statement goods_insert = db.Query(
      "insert into goodsmaster (barcode,goodsname,unit,class,salesprice,memberprice,importprice,"
      "averageimportprice,recordingdate,isscalegoods,pluno,iniinventory,givepoints,iscombined) "
      "values (?,?,?,?,?,?,?,?,?,?,?,?,?,?)");
  store::Statement stock_insert = db.Query("insert into inventory (barcode,quantity) values (?,?)");
  for (const Goods& g : shop.goods) {
    goods_insert.BindAll(g.barcode, g.name, g.unit, g.goods_class, g.salesprice, g.memberprice,
                         g.importprice, g.averageimportprice, g.recordingdate, Flag(g.scale),
                         g.pluno, g.initial_stock, g.give_points ? 1 : 0, Flag(g.combined));
    goods_insert.Run();
    goods_insert.Reset();
    stock_insert.BindAll(g.barcode, g.initial_stock);
    stock_insert.Run();
    stock_insert.Reset();
  }
  for (const Component& part : shop.gift_box) {
    db.Exec("insert into combinedgoods (barcode,underlyingcode,quantity) values (?,?,?)",
            kGiftBoxBarcode, shop.goods[part.goods].barcode, part.quantity);
  }
}

void WriteMembers(store::Database& db, const Shop& shop) {
  store::Statement insert = db.Query(
      "insert into membermaster (memberid,membername,membersex,memberpid,memberphone,"
      "memberaddress,memberpointsmode,memberpointsvalue,depositmode,depositvalue,memberpw,"
      "dismode,disrate,disondis,birthday) values (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)");
  for (const Member& m : shop.members) {
    insert.BindAll(m.id, m.name, m.sex, m.pid, m.phone, m.address, Flag(m.points_mode), m.points,
                   Flag(m.deposit_mode), m.deposit, kasso::HashPassword(m.password), m.dismode,
                   m.disrate, Flag(m.disondis), m.birthday);
    insert.Run();
    insert.Reset();
  }
}

}  // namespace

DemoShopCounts FillDemoShop(store::Database& db) {
  store::Transaction tx(db);
  if (db.HasRow("select 1 from goodsmaster")) {
    throw std::runtime_error("the database already holds goods; the demo shop needs a new one");
  }
  const std::tm today = kasso::Now();
  Rng rng(kSeed);
  Shop shop;
  AddPackagedGoods(shop, rng, today);
  AddWeighedGoods(shop, rng, today);
  AddGiftBox(shop, today);
  for (int i = 0; i < kMemberCount; ++i) shop.members.push_back(MakeMember(i, rng));

  WriteGoods(db, shop);
  WriteMembers(db, shop);
  DemoShopCounts counts;
  counts.bills = WritePastSales(db, shop, rng, today);
  db.Exec(
      "insert into operatormaster (workno,operatorname,operatorpassword,operatorduty) "
      "values (?,?,?,?),(?,?,?,?)",
      "1", "收银员一", kasso::HashPassword("1"), "收银员", "2", "收银员二",
      kasso::HashPassword("2"), "收银员");
  tx.Commit();
  counts.goods = static_cast<int>(shop.goods.size());
  counts.members = static_cast<int>(shop.members.size());
  return counts;
}

DemoShopCounts CreateDemoShop(const std::filesystem::path& file) {
  namespace fs = std::filesystem;
  if (fs::exists(file)) throw store::DbError(file.string() + " already exists");
  fs::path partial = file;
  partial += ".demo";
  std::error_code ignored;
  fs::remove(partial, ignored);
  try {
    store::CreateNewDatabase(partial);
    DemoShopCounts counts;
    {
      store::Database db(partial);
      counts = FillDemoShop(db);
    }
    fs::rename(partial, file);
    return counts;
  } catch (...) {
    fs::remove(partial, ignored);
    throw;
  }
}

}  // namespace demo
