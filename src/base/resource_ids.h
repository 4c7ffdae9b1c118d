/* The numbers the resource script and the code share: the application icon,
   the toolbar commands (and the origins a posted one names) and their icons. Plain defines and C comments,
   because the resource compiler reads this file too. */
#ifndef QUORREL_RESOURCE_IDS_H
#define QUORREL_RESOURCE_IDS_H

#define IDI_APP 100

/* Toolbar commands; a button's control id is its command's. */
#define CMD_OPEN 1001
#define CMD_SAVE 1002
#define CMD_RECORD 1003
#define CMD_PLAY 1004
#define CMD_COMPILE 1005
#define CMD_PREFS 1006

/* Where a posted Record command came from, carried in its lParam: a click's
   lParam is the button's handle and 0 means the origin is unknown. Each origin
   leaves a different trace at the end of a recording. */
#define CMD_ORIGIN_STOP_KEY 1
#define CMD_ORIGIN_WINDOW_KEY 2

/* Each default toolbar icon carries its button's id; the Stop icon, shown on
   the Rec button while recording, comes after them. */
#define IDI_OPEN CMD_OPEN
#define IDI_SAVE CMD_SAVE
#define IDI_RECORD CMD_RECORD
#define IDI_PLAY CMD_PLAY
#define IDI_COMPILE CMD_COMPILE
#define IDI_PREFS CMD_PREFS
#define IDI_STOP 1007

#endif
