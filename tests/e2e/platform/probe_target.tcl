# A foreign application for the platform probe and the paste benchmark: one text widget holding the focus.
# Usage: wish probe_target.tcl OUTPUT_FILE TITLE
# The text is written to OUTPUT_FILE (UTF-8, without Tk's trailing newline) every 50 ms through a temporary
# file renamed over it. Lines on standard input are commands: "clear" empties the text, writes the file and
# answers "cleared"; "quit" (or the end of input) ends the program. Standard output says "ready" once the
# window is shown and "paste MICROSECONDS" (wall clock) whenever a paste event reaches the text.

if {[llength $argv] != 2} {
    puts stderr "usage: wish probe_target.tcl OUTPUT_FILE TITLE"
    exit 2
}
lassign $argv outFile title
set tmpFile "$outFile.tmp"

wm title . $title
wm geometry . 420x240+[expr {40 + int(rand() * 400)}]+[expr {40 + int(rand() * 300)}]
text .t -width 50 -height 12 -undo 0
pack .t -fill both -expand 1

proc writeOut {} {
    global outFile tmpFile
    set f [open $tmpFile w]
    fconfigure $f -encoding utf-8 -translation lf
    puts -nonewline $f [.t get 1.0 end-1c]
    close $f
    file rename -force $tmpFile $outFile
}

proc dumpLoop {} {
    writeOut
    after 50 dumpLoop
}

proc onCommand {} {
    if {[gets stdin line] < 0} {
        exit
    }
    switch -- $line {
        clear {
            .t delete 1.0 end
            writeOut
            puts cleared
            flush stdout
        }
        quit {
            exit
        }
    }
}

bind . <FocusIn> {focus .t}
bind .t <<Paste>> {+puts "paste [clock microseconds]"; flush stdout}
fconfigure stdin -blocking 0
fileevent stdin readable onCommand

tkwait visibility .t
focus -force .t
dumpLoop
puts ready
flush stdout
