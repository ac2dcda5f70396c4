#pragma once

#include <span>

namespace demo {

// One packaged article of the demo shop. `sizes` lists its pack sizes with their sales prices,
// "550ml:1.50 1.5L:3.00"; each size becomes one goods row named article + size.
struct PackagedArticle {
  const char* name;
  const char* unit;
  const char* sizes;
};

struct GoodsClass {
  const char* name;
  bool give_points;  // tobacco and alcohol earn no member points
  std::span<const PackagedArticle> articles;
};

// Goods sold by weight on the price-computing scale, price per unit.
struct WeighedArticle {
  const char* name;
  const char* unit;
  double price;
};

struct GivenName {
  const char* name;
  bool male;
};

// The packaged goods of the shop, class by class.
std::span<const GoodsClass> PackagedClasses();
// The scale goods of the fresh counter (class "生鲜").
std::span<const WeighedArticle> WeighedArticles();

std::span<const char* const> Surnames();
std::span<const GivenName> GivenNames();
std::span<const char* const> Streets();
// Six-digit region codes that open the identity-card numbers of the demo members.
std::span<const char* const> RegionCodes();

}  // namespace demo
