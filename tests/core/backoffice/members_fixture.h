#pragma once

// A fresh kasso.db with three members: M1 a stored-value and points member (phone 13800000001,
// identity card 110101), M2 stored value only, M3 neither; and helpers to read them back.

#include <gtest/gtest.h>

#include <string>

#include "support/test_database.h"

namespace members_testing {

class MembersFixture : public testing_support::TestDatabase {
 protected:
  void SetUp() override {
    TestDatabase::SetUp();
    AddMember("M1", "张三", "13800000001", "110101", "是", 100, "是", 500);
    AddMember("M2", "李四", "13800000002", "110102", "是", 0, "否", 0);
    AddMember("M3", "王五", "13800000003", "110103", "否", 0, "否", 0);
  }

  void AddMember(const std::string& id, const std::string& name, const std::string& phone,
                 const std::string& pid, const std::string& deposit, double balance,
                 const std::string& points_mode, double points) const {
    Open().Exec(
        "insert into membermaster (memberid,membername,membersex,memberpid,memberphone,"
        "memberaddress,memberpointsmode,memberpointsvalue,depositmode,depositvalue,memberpw,"
        "dismode,disrate,disondis) values (?,?,'男',?,?,'北京',?,?,?,?,'pw','没有优惠',1,'否')",
        id, name, pid, phone, points_mode, points, deposit, balance);
  }

  // A column of one member as text ("<none>" when missing). Column names are the test's own.
  std::string Stored(const std::string& column, const std::string& id) const {
    return Open()
        .QueryText("select " + column + " from membermaster where memberid = ?", id)
        .value_or("<none>");
  }
  double Balance(const std::string& id) const {
    return Number("select depositvalue from membermaster where memberid = ?", id);
  }
  double Points(const std::string& id) const {
    return Number("select memberpointsvalue from membermaster where memberid = ?", id);
  }
  // Every row of a table in a stable text form, to prove it unchanged.
  std::string Rows(const std::string& table) const {
    return RowsOf("select * from " + table + " order by rowid");
  }
};

}  // namespace members_testing
