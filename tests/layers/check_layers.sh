#!/bin/sh
# Fails when a lower layer includes a Widgets header, or when a window calls the Qt dialogs
# directly instead of the platform seam.
root=${1:-.}
status=0
hits=$(grep -rnE '#include *<(QtWidgets/|QWidget|QMainWindow|QDialog|QMessageBox|QFileDialog|QApplication|QTableWidget|QLabel|QPushButton|QLineEdit|QComboBox|QProgressBar|QStatusBar|QToolBar|QMenu|QAction)' \
    "$root/engine" "$root/data" "$root/roster" 2>/dev/null)
if [ -n "$hits" ]; then
  echo "Widgets used below the window layers:"; echo "$hits"; status=1
fi
hits=$(grep -rnE '\b(QMessageBox|QFileDialog|QColorDialog|QFontDialog)\b' \
    "$root/engine" "$root/data" "$root/roster" "$root/dialogs" "$root/print" "$root/reports" "$root/shell" "$root/app" 2>/dev/null)
if [ -n "$hits" ]; then
  echo "Qt dialogs used outside platform/:"; echo "$hits"; status=1
fi
hits=$(grep -rnE '#include *"(data|roster|dialogs|print|reports|shell|platform)/' "$root/engine" 2>/dev/null)
if [ -n "$hits" ]; then
  echo "engine/ depends on other parts of the program:"; echo "$hits"; status=1
fi
exit $status
