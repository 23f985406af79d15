// Control ids of the main page (dialog template 102) and its pixel layout.
#pragma once

#define IDD_MAINPAGE 102

#define IDC_FADE_PICTURE           1058
#define IDC_PROFILE_LABEL          1036
#define IDC_PROFILE                1024
#define IDC_SHUTDOWN               1059
#define IDC_TASK_LIST              1011
#define IDC_TITLE_LABEL            1035
#define IDC_VIDEO_SIZE_LABEL       1043
#define IDC_VIDEO_CODEC_LABEL      1037
#define IDC_VIDEO_BITRATE_LABEL    1044
#define IDC_VIDEO_ASPECT_LABEL     1039
#define IDC_SAMPLE_RATE_LABEL      1041
#define IDC_OUTPUT_DIR_LABEL       1034
#define IDC_FRAME_RATE_LABEL       1038
#define IDC_CHANNELS_LABEL         1045
#define IDC_VOLUME_LABEL           1042
#define IDC_AUDIO_BITRATE_LABEL    1040
#define IDC_TITLE                  1023
#define IDC_OUTPUT_DIR             1021
#define IDC_SETTINGS_GROUP         1052
#define IDC_VIDEO_SIZE             1026
#define IDC_VIDEO_CODEC            1025
#define IDC_VIDEO_BITRATE          1028
#define IDC_SAMPLE_RATE            1032
#define IDC_CHANNELS               1031
#define IDC_VOLUME                 1033
#define IDC_FRAME_RATE             1027
#define IDC_AUDIO_BITRATE          1030
#define IDC_VIDEO_ASPECT           1029
#define IDC_PREVIEW_STOP           1055
#define IDC_PREVIEW_PLAY           1054
#define IDC_STOP_CONVERT           1049
#define IDC_START_CONVERT          1048
#define IDC_REMOVE_TASK            1013
#define IDC_HELP_CONTENTS          1016
#define IDC_BROWSE                 1022
#define IDC_REMOVE_ALL             1014
#define IDC_ADD_TASK               1012
#define IDC_RANGE_SLIDER           1047
#define IDC_VIDEO_EDIT             1053
