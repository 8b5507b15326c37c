/* The program's version, written once: the version resource's file and
   product versions are both made from it, and scripts/release.sh reads it to
   name the release. */
#ifndef VELMARIS_VERSION_H
#define VELMARIS_VERSION_H

#define VELMARIS_VERSION_MAJOR 1
#define VELMARIS_VERSION_MINOR 0
#define VELMARIS_VERSION_PATCH 2
#define VELMARIS_VERSION_BUILD 0

/* "1.0.2.0": the rc compiler joins the adjacent strings. */
#define VELMARIS_TEXT_(a, b, c, d) #a "." #b "." #c "." #d
#define VELMARIS_TEXT(a, b, c, d) VELMARIS_TEXT_(a, b, c, d)
#define VELMARIS_VERSION_TEXT \
    VELMARIS_TEXT(VELMARIS_VERSION_MAJOR, VELMARIS_VERSION_MINOR, VELMARIS_VERSION_PATCH, \
                  VELMARIS_VERSION_BUILD)

#endif
