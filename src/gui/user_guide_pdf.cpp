// Build tool: turns the Markdown user guide into the PDF that Help > Documentation opens.
// Usage: corvanel_user_guide_pdf GUIDE.md OUTPUT.pdf
#include <QFile>
#include <QGuiApplication>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QTextDocument>
#include <cstdio>

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s GUIDE.md OUTPUT.pdf\n", argv[0]);
    return 2;
  }
  // No display is needed to lay out and print a document.
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);

  QFile guide(QString::fromLocal8Bit(argv[1]));
  if (!guide.open(QIODevice::ReadOnly)) {
    std::fprintf(stderr, "cannot read %s\n", argv[1]);
    return 1;
  }
  QTextDocument document;
  document.setMarkdown(QString::fromUtf8(guide.readAll()));
  document.setMetaInformation(QTextDocument::DocumentTitle, QStringLiteral("Corvanel User Guide"));

  const QString output = QString::fromLocal8Bit(argv[2]);
  QPdfWriter pdf(output);
  pdf.setTitle(QStringLiteral("Corvanel User Guide"));
  pdf.setCreator(QStringLiteral("Corvanel"));
  pdf.setPageSize(QPageSize(QPageSize::A4));
  pdf.setPageMargins(QMarginsF(20, 20, 20, 20), QPageLayout::Millimeter);
  document.print(&pdf);
  if (!QFile::exists(output)) {
    std::fprintf(stderr, "cannot write %s\n", argv[2]);
    return 1;
  }
  return 0;
}
