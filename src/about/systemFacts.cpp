#include "systemFacts.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>
#include <QSysInfo>
#include <sys/statvfs.h>
#include <sys/utsname.h>

namespace esc {

namespace {

QString readProcFile(const QString& path) {
  // Files under /proc report size 0, so read to the end rather than by size.
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly)) return {};
  return QString::fromUtf8(f.readAll());
}

// The value after the colon of "Key<tabs>: value" lines, for the first line with that key.
std::optional<QString> fieldValue(const QString& text, const QString& key) {
  for (const QString& line : text.split('\n')) {
    const int colon = line.indexOf(':');
    if (colon < 0 || line.left(colon).trimmed() != key) continue;
    return line.mid(colon + 1).trimmed();
  }
  return std::nullopt;
}

std::optional<qint64> kilobytes(const QString& meminfo, const QString& key) {
  const auto v = fieldValue(meminfo, key);
  if (!v) return std::nullopt;
  bool ok = false;
  const qint64 kb = v->section(' ', 0, 0).toLongLong(&ok);
  if (!ok || kb < 0) return std::nullopt;
  return kb * 1024;
}

// /proc/self/mounts writes a blank, tab, newline or backslash of a path as three octal digits.
QString decodeMountField(const QString& field) {
  static const QRegularExpression octal(R"(\\([0-7]{3}))");
  QString out = field;
  for (auto m = octal.match(out); m.hasMatch(); m = octal.match(out, m.capturedStart() + 1))
    out.replace(m.capturedStart(), 4, QChar(m.captured(1).toInt(nullptr, 8)));
  return out;
}

// Block-device file systems, except the read-only images that hold packaged programs, and
// the network and pooled file systems whose source is not a device path.
bool isStorage(const QString& device, const QString& type) {
  static const QSet<QString> others{"nfs", "nfs4", "cifs", "smb3", "zfs", "fuse.sshfs"};
  if (device.startsWith("/dev/")) return type != "squashfs";
  return others.contains(type);
}

} // namespace

std::optional<QString> linuxPlatformName(const QString& kernelName, const QString& distribution) {
  if (distribution.isEmpty()) {
    if (kernelName.isEmpty()) return std::nullopt;
    return kernelName;
  }
  if (kernelName.isEmpty() || distribution.contains(kernelName, Qt::CaseInsensitive))
    return distribution;
  return kernelName + " - " + distribution;
}

std::optional<KernelVersion> parseKernelRelease(const QString& release) {
  static const QRegularExpression re(R"(^(\d+)\.(\d+)(?:\.(\d+))?)");
  const auto m = re.match(release.trimmed());
  if (!m.hasMatch()) return std::nullopt;
  KernelVersion v;
  v.major = m.captured(1).toInt();
  v.minor = m.captured(2).toInt();
  // The build number is shown by its low 16 bits.
  v.build = m.captured(3).toInt() & 0xFFFF;
  return v;
}

std::optional<Processors> parseCpuInfo(const QString& cpuinfo) {
  Processors p;
  for (const QString& line : cpuinfo.split('\n'))
    if (line.section(':', 0, 0).trimmed() == "processor") ++p.count;
  // x86 says "model name"; other architectures name the processor under other keys.
  for (const char* key : {"model name", "cpu model", "Processor", "cpu", "Hardware"}) {
    if (const auto name = fieldValue(cpuinfo, key); name && !name->isEmpty()) {
      p.name = *name;
      break;
    }
  }
  if (p.count == 0 || p.name.isEmpty()) return std::nullopt;
  return p;
}

std::optional<PhysicalMemory> parseMemInfo(const QString& meminfo) {
  const auto total = kilobytes(meminfo, "MemTotal");
  auto available = kilobytes(meminfo, "MemAvailable");
  if (!available) available = kilobytes(meminfo, "MemFree");
  if (!total || !available) return std::nullopt;
  return PhysicalMemory{*total, *available};
}

QStringList parseMountPoints(const QString& mounts,
                             const std::function<bool(const QString&)>& isDirectory) {
  struct Entry {
    QString device, point, type;
  };
  QList<Entry> entries;
  for (const QString& line : mounts.split('\n', Qt::SkipEmptyParts)) {
    const QStringList f = line.split(' ', Qt::SkipEmptyParts);
    if (f.size() < 3) continue;
    entries.append({decodeMountField(f[0]), decodeMountField(f[1]), f[2]});
  }
  QStringList points;
  QSet<QString> devices;
  // The last file system mounted on "/" is the one in use.
  for (auto it = entries.crbegin(); it != entries.crend(); ++it) {
    if (it->point != "/") continue;
    points << "/";
    devices.insert(it->device);
    break;
  }
  for (const Entry& e : entries) {
    // Each device once (bind mounts and subvolumes share their free space), and only
    // directories: a container binds single files from the host's disk.
    if (e.point == "/" || devices.contains(e.device) || !isStorage(e.device, e.type) ||
        !isDirectory(e.point))
      continue;
    devices.insert(e.device);
    points << e.point;
  }
  return points;
}

std::optional<QString> LinuxSystemFacts::platformName() const {
  utsname u{};
  const QString kernel = uname(&u) == 0 ? QString::fromUtf8(u.sysname) : QString();
  // Qt reads the distribution from os-release; "unknown" when the file is missing.
  const QString distribution =
      QSysInfo::productType() == "unknown" ? QString() : QSysInfo::prettyProductName();
  return linuxPlatformName(kernel, distribution);
}

std::optional<KernelVersion> LinuxSystemFacts::version() const {
  utsname u{};
  if (uname(&u) != 0) return std::nullopt;
  return parseKernelRelease(QString::fromUtf8(u.release));
}

std::optional<Processors> LinuxSystemFacts::processors() const {
  return parseCpuInfo(readProcFile("/proc/cpuinfo"));
}

std::optional<PhysicalMemory> LinuxSystemFacts::memory() const {
  return parseMemInfo(readProcFile("/proc/meminfo"));
}

QStringList LinuxSystemFacts::drives() const {
  return parseMountPoints(readProcFile("/proc/self/mounts"),
                          [](const QString& p) { return QFileInfo(p).isDir(); });
}

std::optional<qint64> LinuxSystemFacts::freeBytes(const QString& drive) const {
  struct statvfs s {};
  if (statvfs(QFile::encodeName(drive).constData(), &s) != 0) return std::nullopt;
  return qint64(s.f_bavail) * qint64(s.f_frsize);
}

} // namespace esc
