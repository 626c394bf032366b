#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "Failure.h"
#include "Vandrel.h"

namespace {

class ModelFile : public ::testing::Test {
 protected:
  QString path(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }

  void write(const char* name, const QByteArray& bytes) const {
    QFile file(path(name));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
  }

  QByteArray read(const char* name) const {
    QFile file(path(name));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
  }

  // Loads NAME.poly into a new driver and writes it back as OUT.poly; returns OUT.poly.
  QByteArray roundTrip(const QByteArray& text) {
    write("in.poly", text);
    Vandrel driver;
    driver.loadFile(path("in"));
    driver.writeFile(path("out"));
    return read("out.poly");
  }

  // The message of the failure that loading `text` throws.
  std::string loadError(const QByteArray& text) {
    write("bad.poly", text);
    Vandrel driver;
    try {
      driver.loadFile(path("bad"));
    } catch (const RunError& error) {
      return QString::fromStdString(error.what()).remove(dir.path() + u'/').toStdString();
    }
    return "no error";
  }

  QTemporaryDir dir;
};

}  // namespace

TEST_F(ModelFile, LoadsObjectsInOrderWithWOne) {
  write("m.poly", "newObject\n-1 -1 2 1\n1.5 -2 3 7\nnewObject\n0 0 0 5\n1 1 1 1\n2 2 2 2\n");
  Vandrel driver;
  driver.loadFile(path("m"));
  LNHHolder& model = *driver.model;
  ASSERT_TRUE(model.hasCurent());
  LinkNodeHolder* first = model.getCurrent();
  first->reset();
  EXPECT_EQ(first->getX(), -1);
  first->advance();
  EXPECT_EQ(first->getX(), 1.5f);
  EXPECT_EQ(first->getY(), -2);
  EXPECT_EQ(first->getZ(), 3);
  EXPECT_EQ(first->getW(), 1);
  EXPECT_FALSE(first->hasNext());
  model.advance();
  EXPECT_EQ(model.getCurrent()->getW(), 1);
  EXPECT_FALSE(model.isNotLast());
}

TEST_F(ModelFile, RewritesInTheWriterFormat) {
  EXPECT_EQ(roundTrip("newObject\n-1 -1 2 1\n0.10 +2 -3.25 9 extra\n1e-50 1e3 1234567\n"),
            "newObject\n-1 -1 2 1\n0.1 2 -3.25 1\n0 1000 1.23457e+06 1\n");
}

TEST_F(ModelFile, ReadsBlanksTabsCarriageReturnsAndAMissingLastLineFeed) {
  EXPECT_EQ(roundTrip("\r\n  newObject  \r\n 4\t 5  6 \r\n\t\r\nxnewObjectx\n7 8 9"),
            "newObject\n4 5 6 1\nnewObject\n7 8 9 1\n");
}

TEST_F(ModelFile, KeepsEmptyObjectsAndSpecialValues) {
  EXPECT_EQ(roundTrip("newObject\nnewObject\ninf -inf nan\n"),
            "newObject\nnewObject\ninf -inf nan 1\n");
  EXPECT_EQ(roundTrip(""), "");
}

TEST_F(ModelFile, ReportsTheFileAndLineOfABadRecord) {
  EXPECT_EQ(loadError("1 2 3\nnewObject\n"),
            "bad.poly:1: record before the first \"newObject\" line");
  EXPECT_EQ(loadError("newObject\n1 2 3\n\n1 1\n"),
            "bad.poly:4: expected at least three numbers, found 2");
  EXPECT_EQ(loadError("newObject\n1 2 abc 4\n"), "bad.poly:2: 'abc' is not a number");
  EXPECT_EQ(loadError("newObject\n1 2 1e39\n"), "bad.poly:2: '1e39' is not a number");
  EXPECT_EQ(loadError("newObject\n1 2 3 x\n"), "no error");
}

TEST_F(ModelFile, MissingInputIsAnError) {
  Vandrel driver;
  EXPECT_THROW(driver.loadFile(path("absent")), RunError);
}

TEST_F(ModelFile, ReadTfileRemovesTheScratchFileAlsoOnError) {
  write("s.polyTemp", "newObject\n1 2 3\n");
  Vandrel driver;
  driver.readTfile(path("s"));
  EXPECT_FALSE(QFile::exists(path("s.polyTemp")));

  write("t.polyTemp", "1 2 3\n");
  Vandrel other;
  EXPECT_THROW(other.readTfile(path("t")), RunError);
  EXPECT_FALSE(QFile::exists(path("t.polyTemp")));
}

TEST_F(ModelFile, FailedWriteLeavesTheEarlierFile) {
  write("in.poly", "newObject\n1 2 3\n");
  ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("out.poly")));
  Vandrel driver;
  driver.loadFile(path("in"));
  EXPECT_THROW(driver.writeFile(path("out")), RunError);
  EXPECT_THROW(driver.writeFile(path("no/such/folder")), RunError);
  EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("in.poly")});
}
