#pragma once
// The virtual sensor on a pseudo-terminal: a client opens the slave side
// (slavePath(), or the symbolic link given to open()) like a serial port. The
// line is raw (no echo, no character translation). A baud-rate change only
// changes the wire pacing. The fault `close` hangs the line up: the old slave
// becomes unusable and a new pseudo-terminal takes its place (the link is
// moved to it; reopened() tells the new slave path).
//
// The server keeps its own handle on the slave open, so a client may close and
// reopen the device at any time.

#include <QObject>
#include <QString>

#include <memory>

namespace drq::sim {

class SensorHost;
class PtyChannel;

class PtySensorServer : public QObject {
  Q_OBJECT

 public:
  explicit PtySensorServer(SensorHost& host, QObject* parent = nullptr);
  ~PtySensorServer() override;

  // Creates the pseudo-terminal; with `linkPath` also a symbolic link to its
  // slave (an existing symbolic link there is replaced; any other file is left
  // alone and the call fails). false with errorString() set on failure.
  bool open(const QString& linkPath = {});
  // Closes the pseudo-terminal and removes the link.
  void close();

  bool isOpen() const;
  QString slavePath() const { return slavePath_; }
  QString linkPath() const { return linkPath_; }
  QString errorString() const { return error_; }

 signals:
  void reopened(const QString& slavePath);

 private:
  friend class PtyChannel;
  bool openPty();
  bool placeLink();
  void removeLink();
  void hangUpAndReopen();

  SensorHost& host_;
  std::unique_ptr<PtyChannel> channel_;
  QString slavePath_;
  QString linkPath_;
  QString error_;
};

}  // namespace drq::sim
