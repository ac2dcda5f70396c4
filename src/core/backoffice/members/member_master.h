#pragma once

// The member master: the list, one member for the editor, saving with the editor's checks, and
// deleting.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/store/yes_no.h"

namespace backoffice {

// The price advantages a member may have.
inline constexpr const char* kAdvantageNone = "没有优惠";
inline constexpr const char* kAdvantagePrice = "会员价";
inline constexpr const char* kAdvantageDiscount = "会员折扣";
// The member flags' two values.
inline constexpr const char* kFlagYes = store::kYes;
inline constexpr const char* kFlagNo = store::kNo;

// One member of the list as far as counting, searching and choosing need it.
struct MemberListEntry {
  std::int64_t rowid = 0;
  std::string memberid;
  std::string membername;
};

// One row of the member list with its fourteen columns' values as stored.
struct MemberListRow {
  std::int64_t rowid = 0;
  std::string memberid;
  std::string membername;
  std::string membersex;
  std::string memberpid;
  std::string memberphone;
  std::string depositmode;
  double depositvalue = 0;
  std::string memberpointsmode;
  double memberpointsvalue = 0;
  std::string dismode;
  double disrate = 0;
  std::string disondis;
  std::string birthday;
  std::string memberaddress;
};

// The editor's fields as texts, the way they are typed.
struct MemberFields {
  std::string memberid;
  std::string membername;
  std::string membersex;
  std::string memberpid;
  std::string memberphone;
  std::string memberpw;
  std::string memberpointsmode;
  std::string depositmode;
  std::string memberpointsvalue = "0";
  // The points as the editor last showed them (loaded or the default): a save writes the
  // points of an existing member only when they were typed over.
  std::string points_shown = "0";
  std::string depositvalue = "0";  // shown only; a save never writes it
  std::string dismode;
  std::string disrate;
  bool disondis = false;
  std::string memberaddress;
};

// Every member in the order they were entered. The list reads the other columns a page at a
// time, for the rows it shows (LoadMemberRows), so 100 000 members open at once. Throws
// store::DbError.
std::vector<MemberListEntry> LoadMembers();

// The most rows LoadMemberRows reads at once.
inline constexpr std::size_t kMemberPage = 256;

// The fourteen columns of the members with these rowids (at most kMemberPage), in the same
// order. A member deleted meanwhile comes back with rowid 0 and every column empty. Throws
// store::DbError.
std::vector<MemberListRow> LoadMemberRows(const std::vector<std::int64_t>& rowids);

// The stored member as the editor shows it (points and balance "%.2f"), the password left
// empty (only its hash is stored); nullopt when there is none. Throws store::DbError.
std::optional<MemberFields> LoadMemberForEdit(const std::string& memberid);

// True when a member is stored under this id, trimmed as a save trims it. Throws store::DbError.
bool MemberExists(const std::string& memberid);

// Checks the fields in the editor's order and stores them: an existing id is updated, a new one
// inserted with a balance of 0. An existing member's balance is never written (it changes
// through sales, top-ups and rebates only), nor its points unless they were typed over, so
// money booked while the editor was open stays. Any advantage but "会员折扣" stores rate 1
// without "折上折". Returns true when an existing member was updated. Throws
// kasso::ValidationError naming the field ("memberid", "membername", "dismode", "disrate",
// "depositmode", "memberpointsmode", "memberpointsvalue") with nothing written, store::DbError.
// The password is stored as its hash; an existing member saved with an empty password keeps
// the one it has.
bool SaveMember(const MemberFields& fields);

// Removes the member's row and nothing else (its top-ups, redemptions and sales stay). Throws
// store::DbError.
void DeleteMember(const std::string& memberid);

}  // namespace backoffice
