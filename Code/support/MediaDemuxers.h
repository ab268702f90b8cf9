#pragma once

// The libavformat demuxers a source file may be read with, comma-separated: media containers
// and audio streams that read nothing but the one file. Playlists, concatenation lists,
// streaming manifests, session descriptions, image sequences, generators and devices are left
// out, so a text file posing as media cannot make the program open other files or devices.
// The duration probe and evc both read sources through this list, so a file the job list
// accepts is one evc can open.
inline constexpr const char *kMediaDemuxers =
    // Video and multiplexed containers.
    "mov,mp4,m4a,3gp,3g2,mj2,mpeg,mpegts,mpegvideo,m4v,avi,asf,flv,live_flv,swf,rm,ivr,"
    "matroska,webm,nut,dv,gxf,mxf,wtv,"
    // Raw and packaged audio streams.
    "aac,loas,ac3,eac3,dts,dtshd,truehd,mlp,mp3,ogg,flac,wav,w64,aiff,au,caf,nistsphere,amr,"
    "amrnb,amrwb,qcp,mmf,ape,wv,tta,tak,mpc,mpc8,shn,voc,ircam,sox,xwma,oma,dsf,iff,epaf,pvf,"
    "vqf,act,dss";
