CREATE TABLE `strings_utf8mb4` (
  `id` int(11) NOT NULL,
  `c` char(10) DEFAULT NULL,
  `c_nn` char(10) NOT NULL,
  `vc` varchar(20) DEFAULT NULL,
  `vc_nn` varchar(20) NOT NULL,
  `vc300` varchar(300) DEFAULT NULL,
  `c3` char(5) CHARACTER SET utf8mb3 COLLATE utf8mb3_general_ci DEFAULT NULL,
  `vc3` varchar(20) CHARACTER SET utf8mb3 COLLATE utf8mb3_general_ci DEFAULT NULL,
  `cbin` varchar(10) CHARACTER SET utf8mb4 COLLATE utf8mb4_bin DEFAULT NULL,
  PRIMARY KEY (`id`)
) ENGINE=MyISAM DEFAULT CHARSET=utf8mb4 COLLATE=utf8mb4_general_ci
;
