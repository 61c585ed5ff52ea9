#include "catalogue/ListLoading.h"

#include "common/AsciiText.h"
#include "common/DesCipher.h"
#include "common/StreamClass.h"

#include <algorithm>
#include <exception>
#include <thread>

namespace telvanta {
namespace {

constexpr std::string_view ChannelSelect = "select country,name,speed,url from tv";

// Equal keys come out in the order the catalogue builder stored the rows.
constexpr std::string_view TieBreaker = ", rowid ASC";

std::string Quoted(std::string_view value) {
  std::string out = "'";
  for (const char c : value) {
    out += c;
    if (c == '\'') {
      out += '\'';
    }
  }
  return out + "'";
}

// The order part for the sort box's text, d the direction box's text.
std::string OrderPart(std::string_view sort, std::string_view direction) {
  const std::string d(direction);
  if (sort == "Country") {
    return "order by country " + d + ", name " + d;
  }
  if (sort == "Channel name") {
    return "order by name " + d + ", country " + d;
  }
  if (sort == "Bandwidth") {
    return "order by speed " + d;
  }
  return {};
}

std::string Decrypted(const StationQuery& query, int column) {
  return DesDecryptHex(query.View(column), StationKey);
}

// Deciphered URLs in row order, each with its class. Rows are split into one
// contiguous run per core; a run stops at its first row that fails.
struct Deciphered {
  std::vector<std::string> urls;
  std::vector<StreamClass> classes;
  std::size_t firstFailure;  // the rows' count when none failed
  std::exception_ptr failure;
};

Deciphered DecipherAll(const std::vector<std::string>& hexUrls) {
  const std::size_t rows = hexUrls.size();
  Deciphered out{std::vector<std::string>(rows), std::vector<StreamClass>(rows), rows, nullptr};
  constexpr std::size_t RowsPerWorker = 4096;
  const std::size_t cores = std::max(1U, std::thread::hardware_concurrency());
  const std::size_t workers = std::min(cores, (rows + RowsPerWorker - 1) / RowsPerWorker);
  std::vector<std::size_t> failedAt(std::max<std::size_t>(workers, 1), rows);
  std::vector<std::exception_ptr> failures(failedAt.size());
  auto run = [&](std::size_t worker) {
    const std::size_t begin = rows * worker / workers;
    const std::size_t end = rows * (worker + 1) / workers;
    for (std::size_t i = begin; i < end; ++i) {
      try {
        out.urls[i] = DesDecryptHex(hexUrls[i], StationKey);
      } catch (...) {
        failedAt[worker] = i;
        failures[worker] = std::current_exception();
        return;
      }
      out.classes[i] = ClassifyStream(out.urls[i]);
    }
  };
  {
    std::vector<std::jthread> threads;
    for (std::size_t worker = 1; worker < workers; ++worker) {
      threads.emplace_back(run, worker);
    }
    if (workers > 0) {
      run(0);
    }
  }
  for (std::size_t worker = 0; worker < failures.size(); ++worker) {
    if (failures[worker]) {
      out.firstFailure = failedAt[worker];
      out.failure = failures[worker];
      break;
    }
  }
  return out;
}

// The common loading procedure: entry first, then its URL, then its class,
// so a URL that fails leaves its entry without a twin line.
template <typename EntryOf>
void Fill(StationDatabase& db, std::string_view sql, const std::vector<std::string>& parameters,
          int urlColumn, StationList& list, EntryOf entryOf) {
  list.Clear();
  std::vector<std::string> hexUrls;
  std::exception_ptr queryFailure;
  try {
    StationQuery query = db.Query(sql, parameters);
    while (query.Next()) {
      list.entries.push_back(entryOf(query));
      hexUrls.emplace_back(query.View(urlColumn));
    }
  } catch (...) {
    queryFailure = std::current_exception();
  }
  Deciphered deciphered = DecipherAll(hexUrls);
  const std::size_t kept = deciphered.firstFailure;
  deciphered.urls.resize(kept);
  list.urls = std::move(deciphered.urls);
  list.streamClasses = std::move(deciphered.classes);
  if (deciphered.failure) {
    list.entries.resize(kept + 1);
    list.streamClasses.resize(kept + 1);
    list.streamClasses.back() = StreamClass::None;
    std::rethrow_exception(deciphered.failure);
  }
  if (queryFailure) {
    std::rethrow_exception(queryFailure);
  }
}

std::string WithTieBreaker(std::string_view statement) {
  return std::string(statement) + std::string(TieBreaker);
}

}  // namespace

void StationList::Clear() {
  entries.clear();
  urls.clear();
  streamClasses.clear();
}

ChannelStatement ComposeChannelStatement(const TvFilter& filter) {
  ChannelStatement statement;
  std::string shownWhere = "where 1=1";
  std::string runWhere = "where 1=1";
  if (filter.typeIndex != 0) {
    shownWhere = "where type=" + Quoted(filter.typeText);
    runWhere = "where type=?";
    statement.parameters.push_back(filter.typeText);
  }
  if (filter.countryIndex != 0) {
    shownWhere += " and country=" + Quoted(filter.countryText);
    runWhere += " and country=?";
    statement.parameters.push_back(filter.countryText);
  }
  const std::string runDirection =
      EqualsIgnoringAsciiCase(filter.directionText, "Desc") ? "Desc" : "Asc";
  const std::string shownOrder = OrderPart(filter.sortText, filter.directionText);
  const std::string runOrder = OrderPart(filter.sortText, runDirection);
  const std::string select(ChannelSelect);
  statement.text = select + " " + shownWhere + " " + shownOrder;
  statement.sql = select + " " + runWhere + " " +
                  (runOrder.empty() ? "order by rowid ASC" : runOrder + std::string(TieBreaker));
  return statement;
}

std::string TvEntryText(std::string_view country, std::string_view name, std::string_view speed) {
  std::string entry;
  entry.reserve(country.size() + name.size() + speed.size() + 5);
  entry.append(country).append(" - ").append(name).append("(").append(speed).append(")");
  return entry;
}

std::string RadioEntryText(std::string_view country, std::string_view name) {
  std::string entry;
  entry.reserve(country.size() + name.size() + 3);
  entry.append(country).append(" - ").append(name);
  return entry;
}

std::string WebcamEntryText(std::string_view country, std::string_view name,
                            std::string_view speed) {
  return speed.empty() ? RadioEntryText(country, name) : TvEntryText(country, name, speed);
}

std::string Savelist2Line(std::string_view country, std::string_view name, std::string_view speed,
                          std::string_view url) {
  std::string line(country);
  for (const std::string_view field : {name, speed, url}) {
    line += '|';
    line += field;
  }
  return line;
}

void LoadChannel(StationDatabase& db, const TvFilter& filter, StationList& list) {
  const ChannelStatement statement = ComposeChannelStatement(filter);
  Fill(db, statement.sql, statement.parameters, 3, list,
       [](const StationQuery& q) { return TvEntryText(q.View(0), q.View(1), q.View(2)); });
}

void LoadRadio(StationDatabase& db, StationList& list) {
  Fill(db, WithTieBreaker(RadioStatement), {}, 2, list,
       [](const StationQuery& q) { return RadioEntryText(q.View(0), q.View(1)); });
}

void Loadwebcam(StationDatabase& db, StationList& list) {
  Fill(db, WithTieBreaker(WebcamStatement), {}, 3, list,
       [](const StationQuery& q) { return WebcamEntryText(q.View(0), q.View(1), q.View(2)); });
}

void Loadcountrylist(StationDatabase& db, std::vector<std::string>& items) {
  StationQuery query = db.Query(CountryListStatement);
  while (query.Next()) {
    items.push_back(query.Text(0));
  }
}

std::vector<std::string> Savelist2Lines(StationDatabase& db) {
  std::vector<std::string> lines;
  StationQuery query = db.Query(WithTieBreaker(Savelist2Statement));
  while (query.Next()) {
    const std::string url = Decrypted(query, 2);
    lines.push_back(Savelist2Line(query.View(0), query.View(1), query.View(3), url));
  }
  return lines;
}

}  // namespace telvanta
