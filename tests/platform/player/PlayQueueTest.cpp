// The order in which a player tries addresses, and its limits.

#include <gtest/gtest.h>

#include "platform/player/PlayQueue.h"

namespace telvanta::platform {
namespace {

std::vector<PlayAttempt> Drain(PlayQueue& queue) {
  std::vector<PlayAttempt> out;
  while (auto next = queue.Next()) {
    out.push_back(*next);
  }
  return out;
}

TEST(PlayQueue, AMediaAddressIsOneAttempt) {
  PlayQueue queue("http://h/live.mp3");
  EXPECT_EQ(Drain(queue), (std::vector<PlayAttempt>{{"http://h/live.mp3", false, 0}}));
}

TEST(PlayQueue, MmsTriesHttpBeforeTcp) {
  PlayQueue queue("mms://h/live");
  EXPECT_EQ(Drain(queue),
            (std::vector<PlayAttempt>{{"mmsh://h/live", false, 0}, {"mmst://h/live", false, 0}}));
}

TEST(PlayQueue, EntriesOfAListTakeItsPlaceInOrder) {
  PlayQueue queue("http://h/list.asx");
  const auto list = queue.Next();
  ASSERT_TRUE(list);
  EXPECT_TRUE(list->viaResolver);
  queue.InsertEntries({"mms://h/a", "http://h/b.wmv", "http://h/nested.asx"}, 1);
  EXPECT_EQ(Drain(queue), (std::vector<PlayAttempt>{{"mmsh://h/a", false, 1},
                                                    {"mmst://h/a", false, 1},
                                                    {"http://h/b.wmv", false, 1},
                                                    {"http://h/nested.asx", true, 1}}));
}

TEST(PlayQueue, ListsNestedTooDeeplyAreNotFollowed) {
  PlayQueue queue("http://h/loop.asx");
  ASSERT_TRUE(queue.Next());
  for (int depth = 1; depth <= PlayQueue::kMaxDepth; ++depth) {
    queue.InsertEntries({"http://h/loop.asx"}, depth);
    ASSERT_TRUE(queue.Next()) << depth;
  }
  queue.InsertEntries({"http://h/loop.asx"}, PlayQueue::kMaxDepth + 1);
  EXPECT_FALSE(queue.Next());
}

TEST(PlayQueue, AListOfDeadLinksEndsAfterTheAttemptBudget) {
  PlayQueue queue("http://h/big.asx");
  ASSERT_TRUE(queue.Next());
  queue.InsertEntries(std::vector<std::string>(100, "http://h/dead.mp3"), 1);
  EXPECT_EQ(Drain(queue).size(), static_cast<std::size_t>(PlayQueue::kMaxAttempts - 1));
}

TEST(PlayQueue, DeadEntriesOfAListTheEngineReadsShareTheBudget) {
  struct Case {
    int attemptsTaken;  // by Next, the engine's list included
    int failedEntries;
    bool goOn;
  };
  constexpr int kMax = PlayQueue::kMaxAttempts;
  const Case cases[] = {
      {1, 1, true}, {1, kMax - 2, true}, {1, kMax - 1, false}, {kMax - 1, 1, false}};
  for (const auto& c : cases) {
    PlayQueue queue("http://h/list.asx");
    ASSERT_TRUE(queue.Next());
    queue.InsertEntries(std::vector<std::string>(20, "http://h/radio.m3u"), 1);
    for (int taken = 1; taken < c.attemptsTaken; ++taken) {
      ASSERT_TRUE(queue.Next());
    }
    bool goOn = true;
    for (int failed = 0; failed < c.failedEntries; ++failed) {
      goOn = queue.CountFailedEntry();
    }
    EXPECT_EQ(goOn, c.goOn) << c.attemptsTaken << " + " << c.failedEntries;
    // A spent budget also ends the attempts of our own.
    EXPECT_EQ(queue.Next().has_value(), c.goOn) << c.attemptsTaken << " + " << c.failedEntries;
  }
}

TEST(PlayQueue, AnUnreadableWebAddressIsRetriedOnceAsAList) {
  PlayQueue queue("http://h/stream.php");
  const auto first = queue.Next();
  ASSERT_TRUE(first);
  queue.RetryAsMetafile(*first);
  const auto retry = queue.Next();
  ASSERT_TRUE(retry);
  EXPECT_EQ(*retry, (PlayAttempt{"http://h/stream.php", true, 0}));
  queue.RetryAsMetafile(*retry);  // read as a list already: no loop
  EXPECT_FALSE(queue.Next());

  PlayQueue local("file:///tmp/x.mp3");
  const auto file = local.Next();
  local.RetryAsMetafile(*file);
  EXPECT_FALSE(local.Next());
}

}  // namespace
}  // namespace telvanta::platform
