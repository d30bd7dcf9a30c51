CREATE TABLE `geometries` (
  `id` int(11) NOT NULL,
  `g` geometry DEFAULT NULL,
  `p` point DEFAULT NULL,
  `p_nn` point NOT NULL,
  `ls` linestring DEFAULT NULL,
  `pg` polygon DEFAULT NULL,
  PRIMARY KEY (`id`)
) ENGINE=InnoDB DEFAULT CHARSET=utf8mb4 COLLATE=utf8mb4_general_ci
;
