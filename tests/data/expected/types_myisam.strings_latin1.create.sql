CREATE TABLE `strings_latin1` (
  `id` int(11) NOT NULL,
  `c` char(10) DEFAULT NULL,
  `c_nn` char(10) NOT NULL,
  `vc` varchar(20) DEFAULT NULL,
  `vc_nn` varchar(20) NOT NULL,
  `vc300` varchar(300) DEFAULT NULL,
  `c1` char(1) DEFAULT NULL,
  `cbin` char(5) CHARACTER SET latin1 COLLATE latin1_bin DEFAULT NULL,
  PRIMARY KEY (`id`)
) ENGINE=MyISAM DEFAULT CHARSET=latin1 COLLATE=latin1_swedish_ci
;
